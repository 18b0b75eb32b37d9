#ifndef NOCTAVI_FUZZ_SCRATCHDATAHOME_H
#define NOCTAVI_FUZZ_SCRATCHDATAHOME_H

#include <boost/filesystem/path.hpp>

namespace fuzz {

// The program's data folder, emptied: it lies in a private folder made on the
// first call, in memory where /dev/shm exists so that the saves' syncs cost
// nothing, set as XDG_DATA_HOME and removed when the program ends.
boost::filesystem::path EmptyDataFolder();

} // namespace fuzz

#endif
