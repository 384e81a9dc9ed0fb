// The whole program on the simulated desktop: a program folder of its own,
// the simulated services, and Form1 started on them.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "app/form1.h"
#include "platform/sim/sim_platform.h"

namespace wl::testing {

// A fresh folder under the system's temporary folder, removed afterwards.
class TempFolder {
  public:
    TempFolder() {
        static std::atomic<int> counter{0};
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "wendlock-";
        name += info ? info->name() : "test";
        name += '-';
        name += std::to_string(counter++);
        for (char& c : name) {
            if (c == '/')
                c = '_';
        }
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

    void write(const std::string& name, const std::string& content) const {
        std::ofstream out(path_ / name, std::ios::binary);
        out << content;
    }
    std::string read(const std::string& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }

  private:
    std::filesystem::path path_;
};

// A profile written by hand, lines joined with CRLF.
inline std::string profile_text(std::initializer_list<std::string> lines) {
    std::string out;
    for (const auto& l : lines)
        out += l + "\r\n";
    return out;
}

class AppTest : public ::testing::Test {
  protected:
    AppTest() : world(folder.str()), platform(world.platform()) {}

    // Creates the main window and runs start-up up to the first activation.
    Form1& start() {
        form = std::make_unique<Form1>(platform);
        form->start();
        world.desktop.do_events();
        return *form;
    }
    void click(const std::string& name, int index = -1) {
        world.desktop.fire(UiEvent{name, index, EventKind::Click});
        world.desktop.do_events();
    }
    // A tray notification as the shell delivers it: a mouse move over
    // Picture1 whose x, in pixels, is the shell's mouse message.
    void tray(int message) {
        UiEvent e{"Picture1", -1, EventKind::MouseMove};
        e.x = static_cast<float>(message * 15);
        world.desktop.fire(e);
        world.desktop.do_events();
    }
    std::vector<std::string> items(const Control& c) const {
        std::vector<std::string> out;
        for (int i = 0; i < c.count(); ++i)
            out.push_back(c.item(i));
        return out;
    }
    sim::SimDesktop& desktop() { return world.desktop; }

    TempFolder folder;
    sim::SimWorld world;
    Platform platform;
    std::unique_ptr<Form1> form;
};

}  // namespace wl::testing
