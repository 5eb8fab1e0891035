#pragma once

#include "core/app/ui_ports.h"
#include "core/browse/file_list_port.h"

// Relative, so that the window tests and benchmarks that include this file
// find it too.
#include "../platform/scratch_folder.h"

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

// The temporary folder of the generate tests.
using TempFolder = test::ScratchFolder;

} // namespace harpoly::generate_test
