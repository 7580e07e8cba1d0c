// The hand-made statements of the expansion tests live with their fixture.
#include "analyzer/expansion/deck_fixture.h"
