#include "core/links.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

namespace core {
namespace {

// Classes of the bytes; a byte outside printable ASCII is in none of them.
enum : std::uint8_t {
    kToken = 1u << 0,  // printable ASCII, no blank: what an address can be made of at all
    kAlnum = 1u << 1,
    kLabel = 1u << 2,  // a host name's: letters, digits, '-'
    kLocal = 1u << 3,  // the name of a mail address: letters, digits, . _ % + -
    kUrl = 1u << 4,    // what follows a scheme; no quote, backslash, brace, caret, bar or angle
    kTrail = 1u << 5,  // ends a sentence or a decoration rather than an address
    kJoins = 1u << 6,  // before a name, makes it the tail of another word or path
};

constexpr void Add(std::array<std::uint8_t, 256>& classes, std::string_view bytes, std::uint8_t cls) {
    for (const char c : bytes) classes[static_cast<unsigned char>(c)] |= cls;
}

constexpr std::array<std::uint8_t, 256> MakeClasses() {
    std::array<std::uint8_t, 256> classes{};
    for (int c = 0x21; c < 0x7F; ++c) classes[static_cast<std::size_t>(c)] |= kToken;
    constexpr std::uint8_t kWordByte = kAlnum | kLabel | kLocal | kUrl | kJoins;
    for (char c = '0'; c <= '9'; ++c) classes[static_cast<unsigned char>(c)] |= kWordByte;
    for (char c = 'A'; c <= 'Z'; ++c) classes[static_cast<unsigned char>(c)] |= kWordByte;
    for (char c = 'a'; c <= 'z'; ++c) classes[static_cast<unsigned char>(c)] |= kWordByte;
    Add(classes, "-", kLabel);
    Add(classes, "._%+-", kLocal);
    Add(classes, "-._~:/?#[]@!$&'()*+,;=%", kUrl);
    Add(classes, ".,:;!?'*-=", kTrail);
    Add(classes, "._@/\\%+~&$", kJoins);
    return classes;
}

constexpr std::array<std::uint8_t, 256> kClasses = MakeClasses();

bool Is(char c, std::uint8_t cls) { return (kClasses[static_cast<unsigned char>(c)] & cls) != 0; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Schemes as written, and the host names whose first label tells their scheme.
constexpr std::string_view kSchemes[] = {"http://", "https://", "ftp://", "irc://"};
struct HostPrefix {
    std::string_view prefix;
    LinkForm form;
};
constexpr HostPrefix kHostPrefixes[] = {{"www.", LinkForm::WebHost}, {"ftp.", LinkForm::FtpHost}};

std::string_view TargetPrefix(LinkForm form) {
    switch (form) {
    case LinkForm::WebHost: return "http://";
    case LinkForm::FtpHost: return "ftp://";
    case LinkForm::Mail: return "mailto:";
    case LinkForm::Scheme: break;
    }
    return "";
}

// Top-level domains in use: the generic ones of long standing and a few of the newer ones seen in
// addresses of groups and sites (not .zip, .mov or .app: file names), and the country codes. Both
// tables sorted, for a binary search.
constexpr std::string_view kGenericDomains[] = {
    "aero", "asia", "biz", "blog", "cat",  "club",  "com",   "coop",  "edu",  "gov",    "info",
    "int",  "jobs", "mil", "mobi", "museum", "name", "net", "online", "org", "post", "pro",
    "shop", "site", "store", "tech", "tel", "travel", "xxx", "xyz",
};
constexpr std::string_view kCountryDomains[] = {
    "ac", "ad", "ae", "af", "ag", "ai", "al", "am", "ao", "aq", "ar", "as", "at", "au", "aw", "ax", "az", "ba", "bb",
    "bd", "be", "bf", "bg", "bh", "bi", "bj", "bm", "bn", "bo", "br", "bs", "bt", "bw", "by", "bz", "ca", "cc", "cd",
    "cf", "cg", "ch", "ci", "ck", "cl", "cm", "cn", "co", "cr", "cu", "cv", "cw", "cx", "cy", "cz", "de", "dj", "dk",
    "dm", "do", "dz", "ec", "ee", "eg", "er", "es", "et", "eu", "fi", "fj", "fk", "fm", "fo", "fr", "ga", "gd", "ge",
    "gf", "gg", "gh", "gi", "gl", "gm", "gn", "gp", "gq", "gr", "gs", "gt", "gu", "gw", "gy", "hk", "hm", "hn", "hr",
    "ht", "hu", "id", "ie", "il", "im", "in", "io", "iq", "ir", "is", "it", "je", "jm", "jo", "jp", "ke", "kg", "kh",
    "ki", "km", "kn", "kp", "kr", "kw", "ky", "kz", "la", "lb", "lc", "li", "lk", "lr", "ls", "lt", "lu", "lv", "ly",
    "ma", "mc", "md", "me", "mg", "mh", "mk", "ml", "mm", "mn", "mo", "mp", "mq", "mr", "ms", "mt", "mu", "mv", "mw",
    "mx", "my", "mz", "na", "nc", "ne", "nf", "ng", "ni", "nl", "no", "np", "nr", "nu", "nz", "om", "pa", "pe", "pf",
    "pg", "ph", "pk", "pl", "pm", "pn", "pr", "ps", "pt", "pw", "py", "qa", "re", "ro", "rs", "ru", "rw", "sa", "sb",
    "sc", "sd", "se", "sg", "sh", "si", "sk", "sl", "sm", "sn", "so", "sr", "ss", "st", "su", "sv", "sx", "sy", "sz",
    "tc", "td", "tf", "tg", "th", "tj", "tk", "tl", "tm", "tn", "to", "tr", "tt", "tv", "tw", "tz", "ua", "ug", "uk",
    "us", "uy", "uz", "va", "vc", "ve", "vg", "vi", "vn", "vu", "wf", "ws", "ye", "yt", "za", "zm", "zw",
};
static_assert(std::ranges::is_sorted(kGenericDomains));
static_assert(std::ranges::is_sorted(kCountryDomains));

bool StartsWithNoCase(std::string_view text, std::size_t at, std::size_t limit, std::string_view lowerPrefix) {
    if (limit - at < lowerPrefix.size()) return false;
    for (std::size_t k = 0; k < lowerPrefix.size(); ++k)
        if (Lower(text[at + k]) != lowerPrefix[k]) return false;
    return true;
}

// A host name: labels of letters, digits and inner hyphens, joined by single dots.
struct Host {
    std::size_t end = 0;  // past its last label
    std::size_t labels = 0;
    std::size_t lastLabel = 0;  // where the last label starts
    bool digitLabel = false;    // one of its labels is digits only
};

// The host name that starts at `at`, within [at, limit). A dot not followed by a label, or a
// hyphen that ends a label, ends the name and is not part of it.
std::optional<Host> ParseHost(std::string_view text, std::size_t at, std::size_t limit) {
    constexpr std::size_t kMaxLabel = 63, kMaxHost = 253;
    Host host;
    std::size_t i = at;
    while (i < limit && Is(text[i], kAlnum)) {
        std::size_t j = i;
        while (j < limit && Is(text[j], kLabel)) ++j;
        std::size_t labelEnd = j;
        while (text[labelEnd - 1] == '-') --labelEnd;  // the label starts with a letter or digit
        if (labelEnd - i > kMaxLabel) return std::nullopt;
        ++host.labels;
        host.lastLabel = i;
        host.end = labelEnd;
        host.digitLabel = host.digitLabel || std::all_of(text.begin() + static_cast<std::ptrdiff_t>(i),
                                                         text.begin() + static_cast<std::ptrdiff_t>(labelEnd), IsDigit);
        if (labelEnd != j || j + 1 >= limit || text[j] != '.') break;
        i = j + 1;
    }
    if (host.labels == 0 || host.end - at > kMaxHost) return std::nullopt;
    return host;
}

bool EndsInTopLevelDomain(std::string_view text, const Host& host) {
    return IsTopLevelDomain(text.substr(host.lastLabel, host.end - host.lastLabel));
}

// `:port` after a host: the end of its digits, or `at` when there is none.
std::size_t SkipPort(std::string_view text, std::size_t at, std::size_t limit) {
    if (at >= limit || text[at] != ':') return at;
    std::size_t e = at + 1;
    long port = 0;
    while (e < limit && IsDigit(text[e]) && port <= 65535) port = port * 10 + (text[e++] - '0');
    return e > at + 1 && port <= 65535 ? e : at;
}

// Trailing punctuation stays outside an address; a closing bracket only when the address does not
// open it itself (an article's "(disambiguation)").
std::size_t TrimEnd(std::string_view text, std::size_t start, std::size_t end) {
    const auto count = [&](char c) {
        return std::count(text.begin() + static_cast<std::ptrdiff_t>(start), text.begin() + static_cast<std::ptrdiff_t>(end), c);
    };
    auto parens = count(')') - count('(');
    auto brackets = count(']') - count('[');
    while (end > start) {
        const char c = text[end - 1];
        if (Is(c, kTrail)) {
        } else if (c == ')' && parens > 0) {
            --parens;
        } else if (c == ']' && brackets > 0) {
            --brackets;
        } else {
            break;
        }
        --end;
    }
    return end;
}

// The end of an address's path, query or fragment that starts at `at`, or `at` when none does.
std::size_t PathEnd(std::string_view text, std::size_t at, std::size_t limit) {
    if (at >= limit || (text[at] != '/' && text[at] != '?' && text[at] != '#')) return at;
    std::size_t e = at;
    while (e < limit && Is(text[e], kUrl)) ++e;
    return TrimEnd(text, at, e);
}

// What follows "scheme://": [user[:password]@]host[:port], the host a name or numbers.
bool ValidAuthority(std::string_view rest) {
    const std::string_view authority = rest.substr(0, std::min(rest.find_first_of("/?#"), rest.size()));
    const std::size_t at = authority.rfind('@');
    const std::string_view hostPort = at == std::string_view::npos ? authority : authority.substr(at + 1);
    const auto host = ParseHost(hostPort, 0, hostPort.size());
    return !authority.empty() && Is(authority[0], kAlnum) && host &&
           SkipPort(hostPort, host->end, hostPort.size()) == hostPort.size();
}

std::optional<Link> SchemeLinkAt(std::string_view text, std::size_t at, std::size_t limit) {
    for (const std::string_view scheme : kSchemes) {
        if (!StartsWithNoCase(text, at, limit, scheme)) continue;
        const std::size_t rest = at + scheme.size();
        std::size_t end = rest;
        while (end < limit && Is(text[end], kUrl)) ++end;
        end = TrimEnd(text, rest, end);
        if (!ValidAuthority(text.substr(rest, end - rest))) return std::nullopt;
        return Link{at, end, LinkForm::Scheme};
    }
    return std::nullopt;
}

// After a host name: its port and path, if any. Without a path, a host that goes on into another
// word ("www.site.com_old", "name.com@") is no address.
std::optional<Link> HostLink(std::string_view text, std::size_t at, const Host& host, std::size_t limit,
                             LinkForm form, bool pathRequired) {
    const std::size_t afterPort = SkipPort(text, host.end, limit);
    const std::size_t end = PathEnd(text, afterPort, limit);
    if (end == afterPort) {
        if (pathRequired) return std::nullopt;
        if (afterPort < limit && text[afterPort] != '.' && Is(text[afterPort], kJoins)) return std::nullopt;
    }
    return Link{at, end, form};
}

std::optional<Link> PrefixedHostLinkAt(std::string_view text, std::size_t at, std::size_t limit) {
    for (const auto& [prefix, form] : kHostPrefixes) {
        if (!StartsWithNoCase(text, at, limit, prefix)) continue;
        const auto host = ParseHost(text, at, limit);
        if (!host || host->labels < 3 || !EndsInTopLevelDomain(text, *host)) return std::nullopt;
        return HostLink(text, at, *host, limit, form, false);
    }
    return std::nullopt;
}

// Whether a name is written in capitals from end to end, or its top-level domain in small letters:
// "Some.Band.AC/DC" is a release name with a slash in it, "group.ac/" and "GROUP.AC/" addresses.
bool WrittenAsAnAddress(std::string_view name, std::size_t lastLabel) {
    const auto lower = [](char c) { return c >= 'a' && c <= 'z'; };
    return std::none_of(name.begin() + static_cast<std::ptrdiff_t>(lastLabel), name.end(),
                        [](char c) { return c >= 'A' && c <= 'Z'; }) ||
           std::none_of(name.begin(), name.end(), lower);
}

// host.tld/path: a path is what tells an address from a file or release name, and a label of
// digits only (a year, a version) is what a host name hardly ever has and a release name often does.
std::optional<Link> BareHostLinkAt(std::string_view text, std::size_t at, std::size_t limit) {
    const auto host = ParseHost(text, at, limit);
    if (!host || host->labels < 2 || host->digitLabel || !EndsInTopLevelDomain(text, *host) ||
        !WrittenAsAnAddress(text.substr(at, host->end - at), host->lastLabel - at))
        return std::nullopt;
    return HostLink(text, at, *host, limit, LinkForm::WebHost, true);
}

// The mail address around the '@' at `at`, its name no further back than `earliest`. A run of
// dots (a dotted leader up to the address) is not part of the name.
std::optional<Link> MailLinkAt(std::string_view text, std::size_t at, std::size_t earliest, std::size_t limit) {
    constexpr std::size_t kMaxName = 64;
    std::size_t start = at;
    while (start > earliest && Is(text[start - 1], kLocal)) {
        if (text[start - 1] == '.' && start - 1 > earliest && text[start - 2] == '.') break;
        --start;
    }
    while (start < at && !Is(text[start], kAlnum) && text[start] != '_') ++start;
    if (start == at || at - start > kMaxName || text[at - 1] == '.') return std::nullopt;
    const auto host = ParseHost(text, at + 1, limit);
    if (!host || host->labels < 2 || !EndsInTopLevelDomain(text, *host)) return std::nullopt;
    if (host->end < limit && text[host->end] != '.' && Is(text[host->end], kJoins)) return std::nullopt;
    return Link{start, host->end, LinkForm::Mail};
}

// Whether a name may start at `at`: not inside a word, a host name or a path.
bool AtWordStart(std::string_view text, std::size_t tokenStart, std::size_t at) {
    if (at == tokenStart) return true;
    const char before = text[at - 1];
    if (before == '-') return at - 1 == tokenStart || !Is(text[at - 2], kJoins);  // "--" art, not "a-b" or "/-"
    return !Is(before, kJoins);
}

std::optional<Link> NameLinkAt(std::string_view text, std::size_t at, std::size_t limit) {
    if (auto link = SchemeLinkAt(text, at, limit)) return link;
    if (auto link = PrefixedHostLinkAt(text, at, limit)) return link;
    return BareHostLinkAt(text, at, limit);
}

// The links of one token, [start, end).
void FindInToken(std::string_view text, std::size_t start, std::size_t end, std::vector<Link>& out) {
    std::size_t taken = start;  // where the last link ended: a mail name starts no earlier
    for (std::size_t i = start; i < end;) {
        std::optional<Link> link;
        if (AtWordStart(text, start, i)) link = NameLinkAt(text, i, end);
        if (!link && text[i] == '@') link = MailLinkAt(text, i, taken, end);
        if (!link) {
            ++i;
            continue;
        }
        out.push_back(*link);
        i = taken = link->end;
    }
}

bool IsTokenByte(char c) { return Is(c, kToken); }

}  // namespace

void FindLinks(std::string_view text, std::size_t from, std::size_t to, std::vector<Link>& out) {
    to = std::min(to, text.size());
    if (from >= to) return;
    // Out to the ends of the tokens at either end; a token cut off at kMaxLink is longer than any
    // address and is passed over.
    std::size_t first = from;
    while (first > 0 && from - first <= kMaxLink && IsTokenByte(text[first - 1])) --first;
    std::size_t last = to;
    while (last < text.size() && last - to <= kMaxLink && IsTokenByte(text[last])) ++last;
    for (std::size_t i = first; i < last;) {
        if (!IsTokenByte(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < last && IsTokenByte(text[end])) ++end;
        const bool whole = (i == 0 || !IsTokenByte(text[i - 1])) && (end == text.size() || !IsTokenByte(text[end]));
        if (whole && end - i <= kMaxLink) {
            const std::size_t before = out.size();
            FindInToken(text, i, end, out);
            const auto outside = [&](const Link& link) { return link.end <= from || link.start >= to; };
            out.erase(std::remove_if(out.begin() + static_cast<std::ptrdiff_t>(before), out.end(), outside), out.end());
        }
        i = end;
    }
}

std::vector<Link> FindLinks(std::string_view text) {
    std::vector<Link> links;
    FindLinks(text, 0, text.size(), links);
    return links;
}

std::optional<Link> LinkAt(std::string_view text, std::size_t offset) {
    std::vector<Link> links;
    FindLinks(text, offset, offset + 1, links);
    if (links.empty()) return std::nullopt;
    return links.front();
}

std::string LinkTarget(std::string_view text, const Link& link) {
    std::string target(TargetPrefix(link.form));
    target += text.substr(link.start, link.end - link.start);
    return target;
}

std::string LinkAddress(std::string_view text, const Link& link) {
    if (link.form == LinkForm::Mail) return std::string(text.substr(link.start, link.end - link.start));
    return LinkTarget(text, link);
}

bool IsOpenableTarget(std::string_view target) {
    if (target.size() > kMaxLink + 16 || !std::all_of(target.begin(), target.end(), [](char c) { return Is(c, kUrl); }))
        return false;
    for (const std::string_view scheme : kSchemes)
        if (StartsWithNoCase(target, 0, target.size(), scheme)) return ValidAuthority(target.substr(scheme.size()));
    constexpr std::string_view kMailto = "mailto:";
    if (!StartsWithNoCase(target, 0, target.size(), kMailto)) return false;
    const std::string_view address = target.substr(kMailto.size());
    const std::size_t at = address.find('@');
    if (at == std::string_view::npos || at == 0 || address.find('@', at + 1) != std::string_view::npos) return false;
    const auto host = ParseHost(address, at + 1, address.size());
    return std::all_of(address.begin(), address.begin() + static_cast<std::ptrdiff_t>(at),
                       [](char c) { return Is(c, kLocal); }) &&
           host && host->end == address.size() && host->labels >= 2;
}

std::string LinkNotOpenedText(std::string_view target, std::string_view reason) {
    std::string text = "Unable to open the link '";
    text.append(target).append("'.");
    if (!reason.empty()) text.append(" ").append(reason).append(".");
    return text;
}

bool IsTopLevelDomain(std::string_view label) {
    std::array<char, 8> lower{};
    if (label.size() < 2 || label.size() > lower.size()) return false;
    std::transform(label.begin(), label.end(), lower.begin(), Lower);
    const std::string_view key(lower.data(), label.size());
    const auto& table = key.size() == 2 ? std::span<const std::string_view>(kCountryDomains)
                                        : std::span<const std::string_view>(kGenericDomains);
    return std::binary_search(table.begin(), table.end(), key);
}

}  // namespace core
