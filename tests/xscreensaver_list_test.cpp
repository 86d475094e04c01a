// Kelvaron into and out of the programs list of a real ~/.xscreensaver, in a folder of the test's own.
#include <doctest/doctest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/linux/XScreenSaverList.h"

namespace {

// As xscreensaver-settings writes it: tabs, a disabled entry, a visual.
const char* const kSaved =
    "timeout:\t\t0:10:00\n"
    "mode:\t\trandom\n"
    "programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "- GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\\\n"
    "\t\t\t\tattraction --root\t\t\t    \\n\n"
    "\n"
    "pointerHysteresis:\t10\n";

struct Folder {
    std::string path;
    Folder()
    {
        char name[] = "/tmp/kelvaron-xss-XXXXXX";
        path = mkdtemp(name);
    }
    ~Folder() { std::system(("rm -rf '" + path + "'").c_str()); }
};

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream(path) << text;
}

std::string Added(const std::string& text)
{
    std::string edited, note;
    REQUIRE(AddToProgramsList(text, &edited, &note));
    return edited;
}

std::string Removed(const std::string& text)
{
    std::string edited, note;
    REQUIRE(RemoveFromProgramsList(text, &edited, &note));
    return edited;
}

}  // namespace

TEST_CASE("Kelvaron goes first in the list and comes out again, leaving the rest as it was")
{
    std::string added = Added(kSaved);
    CHECK(added.find("programs:\t\t\t\t\t\t\t\t      \\\n  kelvaron -root \\n\\\n\t\t\t\tmaze --root") != std::string::npos);
    CHECK(Added(added) == added);
    CHECK(Removed(added) == kSaved);
    CHECK(Removed(kSaved) == kSaved);
}

TEST_CASE("lists written on the programs line itself, or empty, stay well formed")
{
    CHECK(Added("programs: maze -root\n") == "programs: \\\n  kelvaron -root \\n\\\n  maze -root\n");
    CHECK(Added("programs: maze -root \\n\\\n  xeyes \\n\n") ==
          "programs: \\\n  kelvaron -root \\n\\\n  maze -root \\n \\\n  xeyes \\n\n");
    std::string empty = Added("programs:\nmode: one\n");
    CHECK(empty == "programs: \\\n  kelvaron -root \\n\nmode: one\n");
    // Taking out the list's last line ends the list on the line before it, not on the next resource.
    CHECK(Removed(empty) == "programs: \nmode: one\n");
    CHECK(Removed("programs: \\\n  maze -root \\n\\\n  kelvaron -root \\n\nmode: one\n") ==
          "programs: \\\n  maze -root \\n\nmode: one\n");
    CHECK(Removed("programs: kelvaron -root \\n\\\n  maze \\n\n") == "programs: \\\n  maze \\n\n");
    // Two backslashes at a line's end are one written out, not a join: the list ends there.
    CHECK(Added("programs: a\\\\\n  kelvaron\n") == "programs: \\\n  kelvaron -root \\n\\\n  a\\\\\n  kelvaron\n");
    // Nor is a backslash with a blank after it, and moving the line keeps that blank.
    CHECK(Added("programs: a\\ \n  kelvaron\n") == "programs: \\\n  kelvaron -root \\n\\\n  a\\ \n  kelvaron\n");
}

TEST_CASE("Kelvaron is known however its entry is written, and only by its command")
{
    for (const char* entry : {"- kelvaron -root", "GL: kelvaron --root", "-\t\"Cars\" /usr/libexec/xscreensaver/kelvaron -root",
                              "- GL: \"Kelvaron\" kelvaron"}) {
        std::string text = std::string("programs: \\\n  maze \\n\\\n  ") + entry + " \\n\n";
        CAPTURE(entry);
        // Known as Kelvaron's: never added a second time, only turned on when it is off.
        std::string on = text;
        if (entry[0] == '-')
            on.erase(on.find(entry), 1);
        CHECK(Added(text) == on);
        CHECK(Removed(text) == "programs: \\\n  maze \\n\n");
    }
    // Nor is an entry turned off twice over, whose first '-' gone would leave it off.
    for (const char* other : {"kelvarons -root", "maze -root kelvaron", "\"kelvaron\" maze", "--: kelvaron -root",
                              "- -GL: kelvaron -root"}) {
        std::string text = std::string("programs: \\\n  ") + other + " \\n\n";
        CAPTURE(other);
        CHECK(Removed(text) == text);
        CHECK(Added(text) != text);
    }
}

TEST_CASE("Kelvaron turned off is turned on: only its '-' goes, wherever the entry is")
{
    struct Case {
        const char* off;
        const char* on;
    };
    const Case cases[] = {
        // In the middle of the list, as xscreensaver-settings saves it, beside another hack turned off.
        {"programs:\t\t\t\t      \\\n\t\t\t\tmaze --root\t\t\t    \\n\\\n-\t\t\t\tkelvaron -root\t\t    \\n\\\n"
         "- GL: \t\t\t\tsuperquadrics --root\t\t    \\n\\\n\t\t\t\tattraction --root\t\t    \\n\n\nmode: random\n",
         "programs:\t\t\t\t      \\\n\t\t\t\tmaze --root\t\t\t    \\n\\\n\t\t\t\tkelvaron -root\t\t    \\n\\\n"
         "- GL: \t\t\t\tsuperquadrics --root\t\t    \\n\\\n\t\t\t\tattraction --root\t\t    \\n\n\nmode: random\n"},
        // Blanks before the '-', a visual after it, the list's last line.
        {"programs: \\\n  - maze \\n\\\n \t- GL: kelvaron --root \\n\n", "programs: \\\n  - maze \\n\\\n \t GL: kelvaron --root \\n\n"},
        // On the line that names the list, with no blank after the '-', and no newline at the end.
        {"programs: -kelvaron -root \\n\\\n  maze \\n", "programs: kelvaron -root \\n\\\n  maze \\n"},
        // Sharing its line with another hack turned off, and a name in quotes.
        {"programs: \\\n  - maze \\n -\t\"Cars\" kelvaron -root \\n\\\n  xeyes \\n\n",
         "programs: \\\n  - maze \\n \t\"Cars\" kelvaron -root \\n\\\n  xeyes \\n\n"},
        // Twice, both off: the first is turned on, which is enough.
        {"programs: \\\n  - kelvaron -root \\n\\\n  - kelvaron -root -fps \\n\n",
         "programs: \\\n   kelvaron -root \\n\\\n  - kelvaron -root -fps \\n\n"},
    };
    for (const Case& c : cases) {
        CAPTURE(c.off);
        std::string edited, note;
        REQUIRE(AddToProgramsList(c.off, &edited, &note));
        CHECK(edited == c.on);
        CHECK(note == "XScreenSaver's list had Kelvaron turned off; it is turned on now");
        // Once on, it stays as it is.
        REQUIRE(AddToProgramsList(c.on, &edited, &note));
        CHECK(edited == c.on);
        CHECK(note == "XScreenSaver's list already has Kelvaron; nothing was changed");
    }
    // One entry on is enough: another that is off stays off.
    const char* oneOn = "programs: \\\n  - kelvaron -root -fps \\n\\\n  kelvaron -root \\n\n";
    CHECK(Added(oneOn) == oneOn);
}

TEST_CASE("a file not as expected is refused, with the reason")
{
    std::string edited, note;
    CHECK_FALSE(AddToProgramsList("mode: one\n", &edited, &note));
    CHECK(note.find("no programs: list") != std::string::npos);
    CHECK_FALSE(AddToProgramsList("programs: maze\nprograms: xeyes\n", &edited, &note));
    CHECK(note.find("more than one") != std::string::npos);
    // A programs: inside another resource's continued value is not a second list.
    CHECK(AddToProgramsList("programs: maze\ntext: \\\nprograms: no\n", &edited, &note));
    CHECK_FALSE(RemoveFromProgramsList("programs: \\\n  maze \\n kelvaron -root \\n\n", &edited, &note));
    CHECK(note.find("line 2 holds Kelvaron together with other programs") != std::string::npos);
}

TEST_CASE("the file: replaced whole with a backup, untouched when nothing changes, followed through a link")
{
    Folder home;
    std::string file = home.path + "/.xscreensaver", backup = file + ".kelvaron-backup";
    std::string message;

    CHECK_FALSE(ChangeXScreenSaverFile(file, true, &message));
    CHECK(message.find("run xscreensaver-settings once") != std::string::npos);
    CHECK(access(file.c_str(), F_OK) != 0);

    WriteFile(file, kSaved);
    chmod(file.c_str(), 0640);
    REQUIRE(ChangeXScreenSaverFile(file, true, &message));
    CHECK(ReadFile(file) == Added(kSaved));
    CHECK(ReadFile(backup) == kSaved);
    struct stat info;
    REQUIRE(stat(file.c_str(), &info) == 0);
    CHECK((info.st_mode & 0777) == 0640);

    // Twice: nothing written, not even the backup.
    WriteFile(backup, "older");
    ino_t inode = info.st_ino;
    REQUIRE(ChangeXScreenSaverFile(file, true, &message));
    CHECK(message.find("already") != std::string::npos);
    REQUIRE(stat(file.c_str(), &info) == 0);
    CHECK(info.st_ino == inode);
    CHECK(ReadFile(backup) == "older");

    REQUIRE(ChangeXScreenSaverFile(file, false, &message));
    CHECK(ReadFile(file) == kSaved);
    CHECK(ReadFile(backup) == Added(kSaved));

    // No temporary file is left beside it.
    CHECK(std::system(("test $(ls -A '" + home.path + "' | wc -l) -eq 2").c_str()) == 0);

    // A file kept elsewhere and linked stays linked.
    std::string kept = home.path + "/kept";
    rename(file.c_str(), kept.c_str());
    REQUIRE(symlink(kept.c_str(), file.c_str()) == 0);
    REQUIRE(ChangeXScreenSaverFile(file, true, &message));
    CHECK(ReadFile(kept) == Added(kSaved));
    REQUIRE(lstat(file.c_str(), &info) == 0);
    CHECK(S_ISLNK(info.st_mode));

    // Turned off in the file: turned on, with the file as it was kept beside it.
    std::string off = kSaved;
    off.insert(off.find("- GL:"), "-\t\t\t\tkelvaron -root\t\t\t    \\n\\\n");
    std::string on = kSaved;
    on.insert(on.find("- GL:"), "\t\t\t\tkelvaron -root\t\t\t    \\n\\\n");
    WriteFile(kept, off);
    REQUIRE(ChangeXScreenSaverFile(file, true, &message));
    CHECK(ReadFile(kept) == on);
    CHECK(ReadFile(kept + ".kelvaron-backup") == off);
    CHECK(message.find("had Kelvaron turned off; it is turned on now") != std::string::npos);
    REQUIRE(ChangeXScreenSaverFile(file, true, &message));
    CHECK(message.find("already has Kelvaron; nothing was changed") != std::string::npos);
    CHECK(ReadFile(kept) == on);

    WriteFile(kept, "mode: one\n");
    CHECK_FALSE(ChangeXScreenSaverFile(file, true, &message));
    CHECK(ReadFile(kept) == "mode: one\n");
}
