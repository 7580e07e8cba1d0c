// Internal hooks of the process locale, for tests: the locale is taken from LANG only
// once per process, so a test that changes LANG must make the module forget it.
#ifndef KVR_LOCALE_LOCALE_H
#define KVR_LOCALE_LOCALE_H

namespace kvr {

// Forgets the default locale read from LANG, the current locale and the last error, and
// returns the process-wide DBCS handle to "no double-byte characters".
void ResetLocaleForTests();

} // namespace kvr

#endif
