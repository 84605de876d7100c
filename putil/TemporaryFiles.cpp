#include "putil/TemporaryFiles.h"
#include "putil/TemporaryRegistry.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace skyfetch {
namespace temporaries {
namespace {

constexpr char kPrefix[] = ".skyfetch-";
constexpr char kSuffix[] = ".tmp";
constexpr std::size_t kRandomLength = 10;
constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";

bool is_decimal(const std::string& text) {
    if (text.empty() || text.size() > 19)
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

} // namespace

std::uint32_t host_tag(const std::string& machineName) {
    std::uint32_t hash = 2166136261u;
    for (const char c : machineName)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}

bool parse_name(const std::string& name, Owner& owner) {
    const std::size_t prefix = sizeof kPrefix - 1;
    const std::size_t suffix = sizeof kSuffix - 1;
    if (name.size() <= prefix + suffix || name.compare(0, prefix, kPrefix) != 0 ||
        name.compare(name.size() - suffix, suffix, kSuffix) != 0)
        return false;
    const std::string body = name.substr(prefix, name.size() - prefix - suffix);
    std::string parts[4];
    std::size_t from = 0;
    for (int i = 0; i < 4; ++i) {
        const std::size_t dash = body.find('-', from);
        if ((i < 3) != (dash != std::string::npos))
            return false;
        parts[i] = body.substr(from, i < 3 ? dash - from : std::string::npos);
        from = dash + 1;
    }
    if (parts[0].size() != 8 || parts[0].find_first_not_of("0123456789abcdef") != std::string::npos)
        return false;
    if (!is_decimal(parts[1]) || !is_decimal(parts[2]) || parts[3].size() != kRandomLength ||
        parts[3].find_first_not_of(kAlphabet) != std::string::npos)
        return false;
    owner.host = static_cast<std::uint32_t>(std::strtoul(parts[0].c_str(), nullptr, 16));
    owner.pid = std::strtol(parts[1].c_str(), nullptr, 10);
    owner.start = std::strtoull(parts[2].c_str(), nullptr, 10);
    return owner.pid > 0;
}

std::string random_letters() {
    // Seeded once from the system's randomness and the clock; each thread draws its own.
    thread_local std::mt19937_64 generator([] {
        std::random_device device;
        const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        return (static_cast<std::uint64_t>(device()) << 32) ^ device() ^
               static_cast<std::uint64_t>(now);
    }());
    std::uint64_t bits = generator();
    std::string letters;
    for (std::size_t i = 0; i < kRandomLength; ++i) {
        letters += kAlphabet[bits % 36];
        bits /= 36;
    }
    return letters;
}

} // namespace temporaries

std::string temporary_file_name() {
    const temporaries::Owner& owner = temporaries::this_process();
    char head[96];
    std::snprintf(head, sizeof head, ".skyfetch-%08x-%ld-%llu-", static_cast<unsigned>(owner.host),
                  owner.pid, static_cast<unsigned long long>(owner.start));
    return head + temporaries::random_letters() + ".tmp";
}

bool is_stale_temporary_name(const std::string& name) {
    temporaries::Owner owner;
    return temporaries::parse_name(name, owner) && owner.host == temporaries::this_process().host &&
           temporaries::has_ended(owner);
}

} // namespace skyfetch
