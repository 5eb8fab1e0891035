#pragma once

#include "app/ui_ports.h"
#include "browse/file_list_port.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace harpoly::generate_test {

// Answers questions from a queue (OK when it runs out) and records every box.
class ScriptedPrompter : public Prompter {
public:
    struct Box {
        bool question;
        std::string text;
        std::string caption;
    };
    std::vector<bool> answers;
    std::vector<Box> boxes;

    bool ask(const std::string& question, const std::string& caption,
             const std::string& = {}) override {
        boxes.push_back({true, question, caption});
        if (asked_ < answers.size()) {
            return answers[asked_++];
        }
        return true;
    }
    void notice(const std::string& text, const std::string& caption) override {
        boxes.push_back({false, text, caption});
    }

private:
    std::size_t asked_ = 0;
};

class RecordingBusy : public BusyIndicator {
public:
    int begun = -1;
    int steps = 0;
    bool ended = false;
    void begin(int n) override { begun = n; }
    void step() override { ++steps; }
    void end() override { ended = true; }
};

class FakeFileList : public FileListPort {
public:
    std::vector<std::string> names;
    int current = 0;
    std::vector<std::string> refreshedWith;

    int count() const override { return static_cast<int>(names.size()); }
    std::string name(int i) const override { return names.at(i); }
    bool isSelected(int) const override { return false; }
    bool anySelected() const override { return false; }
    int currentIndex() const override { return names.empty() ? -1 : current; }
    void refresh(const std::string& name) override { refreshedWith.push_back(name); }
};

// A fresh folder under the system's temporary folder, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "harpoly-generate-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
        path_ += "/";
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }

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

} // namespace harpoly::generate_test
