// kvr4000: the JCL analyzer's entry point.
int main() { return 0; }
