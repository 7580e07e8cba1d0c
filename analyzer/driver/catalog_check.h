// The check, before any member is read, that the message catalog of the run can be used:
// messages carry their severity in their catalog text, so a missing or broken catalog
// would turn every failure into a silent success.
#ifndef KVR_DRIVER_CATALOG_CHECK_H
#define KVR_DRIVER_CATALOG_CHECK_H

#include <cstdint>

namespace kvr {

// Whether the catalog of the current base name and locale holds every message the run may
// raise in its mode, each with its severity letter. When it does not, says so on standard
// error, naming the catalog file, where it was looked for and the first message missing.
bool MessageCatalogIsUsable(int16_t iProcessingMode);

} // namespace kvr

#endif
