// The output name rules on any name, extension and folder.
//
// The input is cut at its NUL bytes: a name (or path), the extension (default "txt"), a
// folder (default "/home/me"), and bytes that choose the selection of the name field and
// whether MakeUniqueName strips a number. The process works in an empty scratch folder,
// so that MakeUniqueName sees nothing taken but what this target creates.

#include "FuzzSupport.h"

#include "putil/FileSystem.h"
#include "rules/OutputFileCheck.h"
#include "rules/OutputName.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

using namespace skyfetch;

namespace {

// The scratch folder as the system names the current directory (links resolved).
std::string g_currentFolder;

bool ends_with(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool starts_with(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// The last component of a path: what follows its last '/'.
std::string own_name(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void check_split_numbered_name(const std::string& name) {
    std::string base = "old";
    std::string ext = "old";
    SplitNumberedName(name, base, ext);
    if (name.empty()) {
        FUZZ_CHECK(base.empty() && ext.empty());
        return;
    }
    // The extension is the last component's part from its last dot, dot included.
    const std::string own = own_name(name);
    const std::size_t dot = own.rfind('.');
    FUZZ_CHECK(ext == (dot == std::string::npos ? std::string() : own.substr(dot)));
    // base + the number taken off + ext is the name again.
    FUZZ_CHECK(base.size() + ext.size() <= name.size());
    FUZZ_CHECK(starts_with(name, base) && ends_with(name, ext));
    const std::string number =
        name.substr(base.size(), name.size() - base.size() - ext.size());
    FUZZ_CHECK(std::all_of(number.begin(), number.end(),
                           [](char c) { return is_digit(c) || c == '.'; }));
    if (ext.empty())
        FUZZ_CHECK(base == name);
    else if (base.size() > 1)
        FUZZ_CHECK(!is_digit(base.back())); // the whole trailing number is taken off
}

// A decimal number from 0 to 99 as MakeUniqueName counts: no sign, no leading zero.
bool counter_text(const std::string& text) {
    if (text.empty() || text.size() > 2 || !std::all_of(text.begin(), text.end(), is_digit))
        return false;
    return text.size() == 1 || text[0] != '0';
}

void check_make_unique_name(const std::string& name, bool strip) {
    std::string unique = name;
    MakeUniqueName(unique, strip);
    const std::string given = name.empty() ? std::string(kDefaultOutputName) : name;
    std::string base;
    std::string ext;
    SplitNumberedName(given, base, ext);
    const std::string first = strip ? base + ext : given;

    // Nothing has the name chosen (the scratch folder is empty, so even the last resort
    // "climate.txt" is free).
    FUZZ_CHECK(!name_exists(unique));
    if (!name_exists(first))
        FUZZ_CHECK(unique == first);
    const bool numbered = unique.size() >= base.size() + ext.size() && starts_with(unique, base) &&
                          ends_with(unique, ext) &&
                          counter_text(unique.substr(base.size(),
                                                     unique.size() - base.size() - ext.size()));
    FUZZ_CHECK(unique == first || unique == kDefaultOutputName || numbered);

    // Once the chosen name is taken in the current folder, the next call picks another.
    if (unique.find('/') != std::string::npos || unique == "." || unique == ".." ||
        unique.size() > 200)
        return;
    const int fd = open(unique.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0600);
    if (fd < 0) {
        std::perror("skyfetch fuzz: cannot create a name in the scratch folder");
        std::abort();
    }
    close(fd);
    std::string next = unique;
    MakeUniqueName(next, false);
    FUZZ_CHECK(next != unique && !name_exists(next));
    FUZZ_CHECK(unlink(unique.c_str()) == 0);
}

void check_ensure_extension(const std::string& name, const std::string& ext) {
    std::string result = name;
    EnsureExtension(result, ext);
    const std::string added = name + "." + ext;
    FUZZ_CHECK(result == name || result == added);
    if (name.size() >= 4)
        FUZZ_CHECK((result == name) == (name[name.size() - 4] == '.'));
    else if (name.find('.') == std::string::npos)
        FUZZ_CHECK(result == added);
    else
        FUZZ_CHECK(result == name); // a short name keeps the dot it has
    if (ext.size() == 3) {
        std::string again = result;
        EnsureExtension(again, ext);
        FUZZ_CHECK(again == result);
    }
}

void check_keep_extension(const std::string& name, const std::string& ext, int selStart,
                          int selEnd) {
    const KeptExtension kept = KeepExtension(name, ext, selStart, selEnd);
    const std::string added = name + "." + ext;
    const std::string suffix = "." + ext;
    const bool removed =
        ends_with(name, suffix) && kept.name == name.substr(0, name.size() - suffix.size());
    FUZZ_CHECK(kept.name == name || kept.name == added || removed);

    const int length = static_cast<int>(kept.name.size());
    FUZZ_CHECK(0 <= kept.selStart && kept.selStart <= kept.selEnd && kept.selEnd <= length);
    if (kept.name.size() >= name.size()) {
        // The caret stays where the user was typing, in front of an added extension.
        FUZZ_CHECK(kept.selStart == selStart && kept.selEnd == selEnd);
    }

    const std::string own = own_name(name);
    const auto dots = std::count(own.begin(), own.end(), '.');
    if ((name.size() == 1 && name != ".") || dots == 0)
        FUZZ_CHECK(kept.name == added);
    else if (dots >= 2 && !ext.empty() && ext.find_first_of("./") == std::string::npos &&
             ends_with(own, suffix))
        FUZZ_CHECK(removed); // "c.csv.txt": a second dot drops the automatic extension
    else if (dots == 1)
        FUZZ_CHECK(kept.name == name);
}

void check_paths(const std::string& path, const std::string& folder) {
    const std::string stripped = StripFolder(path);
    FUZZ_CHECK(stripped.find('/') == std::string::npos);
    FUZZ_CHECK(ends_with(path, stripped));
    if (path.find('/') == std::string::npos)
        FUZZ_CHECK(stripped == path);
    else
        FUZZ_CHECK(path[path.size() - stripped.size() - 1] == '/');

    std::string name = "old";
    std::string where = "old";
    SplitPath(path, name, where);
    FUZZ_CHECK(name == stripped);
    if (path.find('/') == std::string::npos)
        FUZZ_CHECK(where == g_currentFolder);
    else if (where == "/")
        FUZZ_CHECK(path == "/" + name || path == "//" + name);
    else
        FUZZ_CHECK(path == where + "/" + name);

    std::string shortened = path;
    const std::string full = ShortenToFolder(shortened, folder);
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        FUZZ_CHECK(full == folder + "/" + path && shortened == path);
    } else {
        FUZZ_CHECK(full == path);
        const bool inFolder = path.substr(0, slash + 1) == folder + "/";
        FUZZ_CHECK(shortened == (inFolder ? stripped : path));
        if (!folder.empty() && folder.back() == '/' && path.find("//") == std::string::npos)
            FUZZ_CHECK(shortened == path);
    }

    const std::string refusal = CheckOutputPathName(path);
    const bool nameless = stripped.empty();
    FUZZ_CHECK(refusal.empty() == (!nameless && stripped[0] != '.'));
    if (nameless)
        FUZZ_CHECK(refusal == kNoOutputNameMessage);
    else if (!refusal.empty())
        FUZZ_CHECK(refusal == kInvalidOutputNameMessage);

    const bool control = std::any_of(path.begin(), path.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7f;
    });
    FUZZ_CHECK(HasControlCharacter(path) == control);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Relative names are looked up in the current folder: make it the empty scratch one.
    if (chdir(fuzz::scratch_folder().c_str()) != 0) {
        std::perror("skyfetch fuzz: cannot enter the scratch folder");
        std::abort();
    }
    char* resolved = realpath(".", nullptr);
    g_currentFolder = resolved ? resolved : "";
    std::free(resolved);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> parts = fuzz::split_on_nul(data, size);
    const std::string name = parts.size() > 0 ? parts[0] : std::string();
    const std::string ext = parts.size() > 1 ? parts[1] : std::string(kDefaultExtension);
    const std::string folder = parts.size() > 2 ? parts[2] : std::string("/home/me");
    const std::string choice = parts.size() > 3 ? parts[3] : std::string();
    auto byte = [&choice](std::size_t i) {
        return i < choice.size() ? static_cast<unsigned char>(choice[i]) : 0u;
    };
    // A selection within the field, as the field reports it: 0 <= start <= end <= size.
    const int length = static_cast<int>(name.size());
    const int selStart = static_cast<int>(byte(0) % (length + 1));
    const int selEnd = selStart + static_cast<int>(byte(1) % (length - selStart + 1));
    const bool strip = (byte(2) & 1) != 0;

    check_split_numbered_name(name);
    check_make_unique_name(name, strip);
    check_ensure_extension(name, ext);
    check_keep_extension(name, ext, selStart, selEnd);
    check_paths(name, folder);
    FUZZ_CHECK(fuzz::folder_entries(fuzz::scratch_folder()).empty());
    return 0;
}
