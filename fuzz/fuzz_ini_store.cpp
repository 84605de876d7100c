// The INI store on a file of any content, then a series of writes.
//
// The input is cut at its NUL bytes: the first part is the file's text, the rest are
// (section, key, value) triples, each one write. A value that starts with "int:" is
// written through Profile::write_int with the integer read from the rest of it; any other
// goes through IniFile::set_value. Section and key names are first reduced to what the
// format can hold (no control characters, no '=', '[' or ']', no comment mark in front,
// no blanks around them), as the program's own names are.
//
// Checked: a value holding a line break is refused and leaves the file byte for byte as
// it was; every other write succeeds and reads back exactly, through IniFile and Profile,
// right away and after all later writes; every line of the original text that is not a
// line of a key we wrote is still there, in the same order; no temporary file is left.

#include "FuzzSupport.h"

#include "settings/IniFile.h"
#include "settings/Profile.h"

#include <algorithm>
#include <map>

using namespace skyfetch;

namespace {

constexpr std::size_t kMaxWrites = 12;
const std::string kFileName = "store.ini";

std::string fold(const std::string& text) {
    std::string folded = text;
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

std::string trim_blanks(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string usable_name(const std::string& raw) {
    std::string name;
    for (const char c : raw) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7f && c != '=' && c != '[' && c != ']')
            name += c;
    }
    name = trim_blanks(name);
    while (!name.empty() && (name[0] == ';' || name[0] == '#'))
        name = trim_blanks(name.substr(1));
    return name;
}

// The line could hold one of the keys (folded) we wrote, in whatever section.
bool may_be_written_key(const std::string& line, const std::map<std::string, int>& keys) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos)
        return false;
    return keys.count(fold(trim_blanks(line.substr(0, eq)))) != 0;
}

bool subsequence(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
    std::size_t at = 0;
    for (const std::string& line : whole) {
        if (at < part.size() && part[at] == line)
            ++at;
    }
    return at == part.size();
}

struct Written {
    std::string section;
    std::string key;
    std::string value;
};

void check_reads_back(const std::string& path, const Written& w) {
    const std::optional<std::string> value = IniFile(path).value(w.section, w.key);
    FUZZ_CHECK(value.has_value() && *value == w.value);
    const Profile profile(path, w.section);
    FUZZ_CHECK(profile.read_string(w.key, "\x01missing") == w.value);
    FUZZ_CHECK(profile.read_int(w.key, -7) == parse_profile_int(w.value));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> parts = fuzz::split_on_nul(data, size);
    const std::string original = parts.empty() ? std::string() : parts[0];
    const std::string& folder = fuzz::scratch_folder();
    const std::string path = folder + "/" + kFileName;
    fuzz::write_whole_file(path, original);

    // Reading any file with any names, however odd, gives a value or nothing.
    for (std::size_t i = 1; i + 1 < parts.size() && i < 5; i += 2) {
        if (const auto value = IniFile(path).value(parts[i], parts[i + 1]))
            FUZZ_CHECK(value->find('\n') == std::string::npos);
    }

    std::map<std::pair<std::string, std::string>, Written> model; // by folded section, key
    std::map<std::string, int> keys;                                // folded keys written
    std::string before = original;
    for (std::size_t i = 1, writes = 0; i + 1 < parts.size() && writes < kMaxWrites;
         i += 3, ++writes) {
        const std::string section = usable_name(parts[i]);
        const std::string key = usable_name(parts[i + 1]);
        const std::string given = i + 2 < parts.size() ? parts[i + 2] : std::string();

        bool ok = false;
        std::string stored;
        if (given.rfind("int:", 0) == 0) {
            const int number = parse_profile_int(given.substr(4));
            ok = Profile(path, section).write_int(key, number);
            stored = std::to_string(number);
        } else {
            ok = IniFile(path).set_value(section, key, given);
            stored = given;
        }
        std::string after;
        FUZZ_CHECK(fuzz::read_whole_file(path, after));
        FUZZ_CHECK(fuzz::folder_entries(folder) == std::vector<std::string>{kFileName});

        if (stored.find_first_of("\r\n") != std::string::npos) {
            FUZZ_CHECK(!ok);
            FUZZ_CHECK(after == before);
            continue;
        }
        FUZZ_CHECK(ok);
        const Written written{section, key, stored};
        check_reads_back(path, written);
        model[{fold(section), fold(key)}] = written;
        keys[fold(key)] = 1;
        before = after;
    }

    for (const auto& entry : model)
        check_reads_back(path, entry.second);

    std::vector<std::string> kept;
    for (const std::string& line : fuzz::lines_of(original)) {
        if (!may_be_written_key(line, keys))
            kept.push_back(line);
    }
    FUZZ_CHECK(subsequence(kept, fuzz::lines_of(before)));
    return 0;
}
