#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace harpoly::test {

// A fresh folder under the system's temporary folder, removed with its
// content at the end of the test. path() ends in "/".
class ScratchFolder {
public:
    ScratchFolder() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "harpoly-XXXXXX").string();
        if (!::mkdtemp(tmpl.data())) {
            throw std::runtime_error("mkdtemp failed");
        }
        path_ = tmpl + "/";
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }

    // Writes a file under the folder (name may hold sub-folders that exist).
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ + name, std::ios::binary) << bytes;
    }
    template <typename Bytes> void writeBytes(const std::string& name, const Bytes& bytes) const {
        std::ofstream(path_ + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    std::string read(const std::string& name) const {
        std::ifstream in(path_ + name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(path_ + name); }

private:
    std::string path_;
};

} // namespace harpoly::test
