#pragma once
// The settings store's INI seam over a Windows profile file.
#include <string>
#include <utility>

#include "core/settings_store.hpp"

namespace platform {

class ProfileIniFile : public core::IniFile {
public:
    // path in UTF-8.
    explicit ProfileIniFile(std::string path) : path_(std::move(path)) {}

    // "corvalex.ini" in the directory of the running executable, whatever characters its name holds.
    static std::string DefaultPath();

    bool Exists() override;  // exists and is not a directory
    // At most 2047 characters; the system trims surrounding blanks and one pair of quotes.
    std::string Read(const std::string& section, const std::string& name) override;
    bool Delete() override;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace platform
