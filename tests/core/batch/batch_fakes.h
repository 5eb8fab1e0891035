#pragma once

#include "core/app/ui_ports.h"
#include "core/browse/file_list_port.h"

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <stdlib.h>
#include <string>
#include <vector>

namespace harpoly::testing {

struct ListEntry {
    std::string name;
    bool selected = false;
};

// A file list held in memory; refresh() only records the name asked for.
class FakeFileList : public FileListPort {
public:
    explicit FakeFileList(std::vector<ListEntry> entries = {}, int current = 0)
        : entries(std::move(entries)), current(this->entries.empty() ? -1 : current) {}
    int count() const override { return static_cast<int>(entries.size()); }
    std::string name(int i) const override { return entries.at(i).name; }
    bool isSelected(int i) const override { return entries.at(i).selected; }
    bool anySelected() const override {
        for (const auto& e : entries) {
            if (e.selected) {
                return true;
            }
        }
        return false;
    }
    int currentIndex() const override { return current; }
    void refresh(const std::string& reselect) override { refreshedWith.push_back(reselect); }

    std::vector<ListEntry> entries;
    int current;
    std::vector<std::string> refreshedWith;
};

struct Asked {
    std::string question, caption, detail;
};
struct Noticed {
    std::string text, caption;
};

class FakePrompter : public Prompter {
public:
    explicit FakePrompter(bool answer = true) : answer(answer) {}
    bool ask(const std::string& q, const std::string& c, const std::string& d) override {
        asked.push_back({q, c, d});
        return answer;
    }
    void notice(const std::string& t, const std::string& c) override { noticed.push_back({t, c}); }

    bool answer;
    std::vector<Asked> asked;
    std::vector<Noticed> noticed;
};

class FakeBusy : public BusyIndicator {
public:
    void begin(int n) override {
        ++begun;
        range = n;
    }
    void step() override { ++steps; }
    void end() override { ++ended; }

    int begun = 0, ended = 0, steps = 0, range = -1;
};

// A fresh folder under `base`, removed with everything in it at the end.
class TempFolder {
public:
    explicit TempFolder(const std::string& base = "/tmp") {
        std::string pattern = base + "/harpoly-test-XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            throw std::runtime_error("mkdtemp failed under " + base);
        }
        path_ = pattern + "/";
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; } // ends with "/"
    std::string operator/(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

} // namespace harpoly::testing
