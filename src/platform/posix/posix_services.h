// The desktop services that plain POSIX calls provide: the export's file store and the
// program folder.
#pragma once

#include <filesystem>
#include <string>

#include "platform/services.h"

namespace sabrota::platform {

// Writes the new content to a temporary file beside the target and renames it into place, so
// the previous file stays exactly as it was whenever anything fails.
class PosixFileStore : public FileStore {
  public:
    bool replaceFile(std::string_view name, std::string_view bytes) override;
};

class ExecutableFolder : public ProgramFolder {
  public:
    bool makeCurrent() override;
    // The folder of the running executable, empty when it cannot be found.
    static std::filesystem::path folder();
};

}  // namespace sabrota::platform
