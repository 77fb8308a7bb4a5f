#pragma once
// Web and mail addresses in the view's text, found in its code page 437 bytes: addresses with a
// scheme (http, https, ftp, irc), host names that start with "www." or "ftp.", mail addresses, and
// bare host names followed by a path whose top-level domain is a real one. Release names, file
// names and version numbers are dotted words too; they are told apart by the table of real
// top-level domains and by a few rules on what stands around an address.
//
// An address is ASCII without blanks, so it lies inside one token: a run of printable ASCII bytes.
// Line art, blanks and line breaks end a token, so no address ever takes in a frame's bar or joins
// across a line break. Tokens longer than kMaxLink bytes hold no address, which keeps every look-up
// to a few kilobytes around the bytes asked about, whatever the size of the text or its lines.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

constexpr std::size_t kMaxLink = 2048;

// How an address is opened: as written, or with the scheme its form implies.
enum class LinkForm {
    Scheme,   // http://, https://, ftp://, irc:// as written
    WebHost,  // www.host and host.tld/path: http://
    FtpHost,  // ftp.host: ftp://
    Mail,     // name@host.tld: mailto:
};

struct Link {
    std::size_t start = 0;  // bytes [start, end) of the text
    std::size_t end = 0;
    LinkForm form = LinkForm::Scheme;
    bool operator==(const Link&) const = default;
};

// The links in `text` that reach into bytes [from, to), whole (they may begin before `from` or end
// after `to`), in order, appended to `out`. Reads at most kMaxLink bytes beyond either end.
void FindLinks(std::string_view text, std::size_t from, std::size_t to, std::vector<Link>& out);

// Every link of a text (a line, in the tests).
std::vector<Link> FindLinks(std::string_view text);

// The link that holds byte `offset`, if any.
std::optional<Link> LinkAt(std::string_view text, std::size_t offset);

// What the shell is handed for the link: the address with its scheme ("mailto:" for a mail address).
std::string LinkTarget(std::string_view text, const Link& link);

// What "Copy Link Address" copies: the target of a web address, the bare address of a mail one.
std::string LinkAddress(std::string_view text, const Link& link);

// Whether a target may go to the shell: one of the four schemes or mailto:, then a host, and only
// the bytes an address is made of (no blank, quote, backslash or control). Every link's target
// passes; this is the last check before the shell, so nothing else ever reaches it.
bool IsOpenableTarget(std::string_view target);

// "Unable to open the link '<target>'." and the system's reason, when there is one: " <reason>.".
std::string LinkNotOpenedText(std::string_view target, std::string_view reason);

// Whether `label` (any case) is a top-level domain in use: the generic ones and the country codes.
bool IsTopLevelDomain(std::string_view label);

}  // namespace core
