// Internal view of the import file for other kvrbase modules (source access writes its
// INCL records through KVR_PutImportRecord, and needs to know whether the file is open).
#ifndef KVR_SERVICES_IMPORT_FILE_H
#define KVR_SERVICES_IMPORT_FILE_H

namespace kvr {

// TRUE between a successful KVR_OpenImportFile and KVR_CloseImportFile.
bool ImportFileIsOpen();

} // namespace kvr

#endif
