#include "platform/linux/XScreenSaverList.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

static const char* const kXScreenSaverEntry = "kelvaron -root";  // as XScreenSaver runs a hack on its own window

namespace {

// The programs resource: lines first..last, each but the last ending in a backslash that joins it to
// the next. Its entries are separated by the two characters \n.
struct ProgramsList {
    size_t first;
    size_t last;
};

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

std::string TrimRight(const std::string& s)
{
    size_t end = s.find_last_not_of(" \t");
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

std::string Trim(const std::string& s)
{
    size_t start = s.find_first_not_of(" \t");
    return start == std::string::npos ? std::string() : TrimRight(s.substr(start));
}

// A backslash right before the line's end joins it to the next; two are one backslash written out.
bool Continues(const std::string& line)
{
    size_t last = line.find_last_not_of('\\');
    size_t backslashes = line.size() - (last == std::string::npos ? 0 : last + 1);
    return backslashes % 2 == 1;
}

// The length of "programs:" with the blanks around the name, or 0 when the line is not its start.
size_t ProgramsPrefix(const std::string& line)
{
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line.compare(i, 8, "programs") != 0)
        return 0;
    i = line.find_first_not_of(" \t", i + 8);
    return i != std::string::npos && line[i] == ':' ? i + 1 : 0;
}

bool FindProgramsList(const std::vector<std::string>& lines, ProgramsList* list, std::string* reason)
{
    int found = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        bool continued = i > 0 && Continues(lines[i - 1]);
        if (continued || !ProgramsPrefix(lines[i]))
            continue;
        if (++found > 1) {
            *reason = "it has more than one programs: list";
            return false;
        }
        list->first = list->last = i;
        while (Continues(lines[list->last]) && list->last + 1 < lines.size())
            ++list->last;
    }
    if (!found)
        *reason = "it has no programs: list";
    return found == 1;
}

// Where line i starts in the text it was split from.
size_t LineStart(const std::vector<std::string>& lines, size_t i)
{
    size_t start = 0;
    for (size_t j = 0; j < i; ++j)
        start += lines[j].size() + 1;
    return start;
}

// A line's part of the list: without "programs:" on the first and without the joining backslash.
std::string ListPart(const std::vector<std::string>& lines, const ProgramsList& list, size_t i)
{
    std::string part = lines[i];
    if (Continues(part))
        part.pop_back();
    return i == list.first ? part.substr(ProgramsPrefix(part)) : part;
}

// Whether an entry, [-] [visual:] ["name"] command..., runs Kelvaron.
bool IsKelvaronEntry(std::string entry)
{
    entry = Trim(entry);
    if (!entry.empty() && entry[0] == '-')
        entry = Trim(entry.substr(1));
    size_t word = entry.find_first_of(" \t");
    if (word != std::string::npos && entry[word - 1] == ':') {
        // A visual's name; one starting with '-' would leave the entry turned off once its own '-' went.
        if (entry[0] == '-')
            return false;
        entry = Trim(entry.substr(word));
    }
    if (!entry.empty() && entry[0] == '"') {
        size_t close = entry.find('"', 1);
        entry = close == std::string::npos ? std::string() : Trim(entry.substr(close + 1));
    }
    std::string command = entry.substr(0, entry.find_first_of(" \t"));
    size_t slash = command.rfind('/');
    return command.substr(slash == std::string::npos ? 0 : slash + 1) == "kelvaron";
}

// One line's part of the list in entries: those not blank, those that run Kelvaron, those of them
// turned on, and where in the part the '-' is that turns off the first of them that is off (npos
// when none is).
struct LineEntries {
    int count = 0;
    int kelvaron = 0;
    int kelvaronOn = 0;
    size_t kelvaronOff = std::string::npos;
};

LineEntries CountEntries(const std::string& part)
{
    LineEntries entries;
    size_t start = 0;
    while (start <= part.size()) {
        size_t end = part.find("\\n", start);
        if (end == std::string::npos)
            end = part.size();
        std::string entry = part.substr(start, end - start);
        size_t first = entry.find_first_not_of(" \t");
        if (first != std::string::npos) {
            ++entries.count;
            if (IsKelvaronEntry(entry)) {
                ++entries.kelvaron;
                // A '-' before the entry keeps it out of XScreenSaver's random choice.
                if (entry[first] != '-')
                    ++entries.kelvaronOn;
                else if (entries.kelvaronOff == std::string::npos)
                    entries.kelvaronOff = start + first;
            }
        }
        start = end + 2;
    }
    return entries;
}

std::string NotAsExpected(const std::string& why)
{
    return "~/.xscreensaver is not as expected: " + why + "; nothing was changed";
}

// The text's lines and where its one programs list is in them; false with the reason in note.
bool ReadProgramsList(const std::string& text, std::vector<std::string>* lines, ProgramsList* list, std::string* note)
{
    *lines = SplitLines(text);
    std::string why;
    if (FindProgramsList(*lines, list, &why))
        return true;
    *note = NotAsExpected(why);
    return false;
}

}  // namespace

bool AddToProgramsList(const std::string& text, std::string* edited, std::string* note)
{
    std::vector<std::string> lines;
    ProgramsList list;
    if (!ReadProgramsList(text, &lines, &list, note))
        return false;
    // Where in the text the '-' is that turns off Kelvaron's first entry that is off.
    size_t off = std::string::npos;
    for (size_t i = list.first; i <= list.last; ++i) {
        LineEntries entries = CountEntries(ListPart(lines, list, i));
        if (entries.kelvaronOn) {
            *edited = text;
            *note = "XScreenSaver's list already has Kelvaron; nothing was changed";
            return true;
        }
        if (off == std::string::npos && entries.kelvaronOff != std::string::npos)
            off = LineStart(lines, i) + (i == list.first ? ProgramsPrefix(lines[i]) : 0) + entries.kelvaronOff;
    }
    if (off != std::string::npos) {
        // Only the '-' goes: the rest of the file stays as it was, to the byte.
        *edited = text;
        edited->erase(off, 1);
        *note = "XScreenSaver's list had Kelvaron turned off; it is turned on now";
        return true;
    }
    // First in the list, on a line of its own after the one that names the list.
    // Its trailing blanks stay: without them a backslash written out could end the line and join it.
    std::string rest = ListPart(lines, list, list.first);
    rest = Trim(rest).empty() ? std::string() : rest.substr(rest.find_first_not_of(" \t"));
    bool more = Continues(lines[list.first]);
    size_t at = list.first + 1;
    if (!more || !rest.empty()) {
        // The list starts on that line: it keeps the name alone, and what was on it goes after Kelvaron.
        lines[list.first] = TrimRight(lines[list.first].substr(0, ProgramsPrefix(lines[list.first]))) + " \\";
        if (!rest.empty())
            lines.insert(lines.begin() + at, "  " + rest + (more ? " \\" : ""));
    }
    lines.insert(lines.begin() + at, std::string("  ") + kXScreenSaverEntry + " \\n" + (more || !rest.empty() ? "\\" : ""));
    *edited = JoinLines(lines);
    *note = "Kelvaron is now first in XScreenSaver's list";
    return true;
}

bool RemoveFromProgramsList(const std::string& text, std::string* edited, std::string* note)
{
    std::vector<std::string> lines;
    ProgramsList list;
    if (!ReadProgramsList(text, &lines, &list, note))
        return false;
    int removed = 0;
    for (size_t i = list.last + 1; i-- > list.first;) {
        LineEntries entries = CountEntries(ListPart(lines, list, i));
        if (!entries.kelvaron)
            continue;
        if (entries.count > entries.kelvaron) {
            *note = NotAsExpected("line " + std::to_string(i + 1) + " holds Kelvaron together with other programs");
            return false;
        }
        ++removed;
        bool continued = Continues(lines[i]);
        if (i == list.first) {
            lines[i] = TrimRight(lines[i].substr(0, ProgramsPrefix(lines[i]))) + (continued ? " \\" : "");
            continue;
        }
        lines.erase(lines.begin() + i);
        --list.last;
        // The list's last line took the joining backslash with it: the line before ends the list now.
        if (!continued) {
            lines[i - 1].pop_back();
        }
    }
    *edited = removed ? JoinLines(lines) : text;
    *note = removed ? "Kelvaron is out of XScreenSaver's list" : "XScreenSaver's list has no Kelvaron; nothing was changed";
    return true;
}

namespace {

bool ReadWhole(const std::string& path, std::string* text, std::string* error)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    text->clear();
    char buffer[8192];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0)
        text->append(buffer, size_t(n));
    int readErrno = errno;
    close(fd);
    if (n < 0)
        *error = "cannot read " + path + ": " + std::strerror(readErrno);
    return n == 0;
}

// Writes text to a new file beside path, flushed to disk, and renames it over path: path holds the
// old text or the new, never a part.
bool ReplaceWhole(const std::string& path, const std::string& text, mode_t mode, std::string* error)
{
    std::string temporary = path + ".XXXXXX";
    int fd = mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0) {
        *error = "cannot write beside " + path + ": " + std::strerror(errno);
        return false;
    }
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += size_t(n);
    }
    bool ok = done == text.size() && fchmod(fd, mode) == 0 && fsync(fd) == 0;
    int writeErrno = errno;
    ok = close(fd) == 0 && ok;
    if (ok && rename(temporary.c_str(), path.c_str()) == 0) {
        std::string folder = path.substr(0, path.rfind('/') + 1);
        int dir = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            fsync(dir);
            close(dir);
        }
        return true;
    }
    *error = "cannot write " + path + ": " + std::strerror(ok ? errno : writeErrno);
    unlink(temporary.c_str());
    return false;
}

}  // namespace

bool ChangeXScreenSaverFile(const std::string& path, bool add, std::string* message)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0 && errno == ENOENT) {
        *message = path + " does not exist yet: run xscreensaver-settings once and close it, so that it writes "
                          "the file with XScreenSaver's whole list, then run this again";
        return false;
    }
    char resolved[PATH_MAX];
    if (!realpath(path.c_str(), resolved)) {
        *message = "cannot find " + path + ": " + std::strerror(errno);
        return false;
    }
    std::string file = resolved;
    if (stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        *message = path + " is not a regular file; nothing was changed";
        return false;
    }
    std::string text, edited, note;
    if (!ReadWhole(file, &text, message))
        return false;
    if (!(add ? AddToProgramsList(text, &edited, &note) : RemoveFromProgramsList(text, &edited, &note))) {
        *message = note;
        return false;
    }
    if (edited == text) {
        *message = note;
        return true;
    }
    std::string backup = file + ".kelvaron-backup";
    if (!ReplaceWhole(backup, text, info.st_mode & 07777, message) ||
        !ReplaceWhole(file, edited, info.st_mode & 07777, message))
        return false;
    *message = note + " (" + path + "; as it was before: " + backup + ")";
    if (add)
        *message += ". Pick Kelvaron in xscreensaver-settings";
    return true;
}
