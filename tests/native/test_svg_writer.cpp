// The SVG picture read back by a small XML reader: well-formed whatever the bytes, the elements
// the art asks for, and the sizes in cells.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/svg_writer.hpp"

namespace {

// Just enough XML to hold the writer to the rules: one root, tags nested and closed in order,
// attributes quoted and unique, entities known, no character XML forbids, UTF-8 well formed.
struct Element {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::string text;  // character data, entities resolved
};

class XmlReader {
public:
    explicit XmlReader(const std::string& doc) : s_(doc) {}

    std::vector<Element> Parse() {
        if (s_.compare(0, 5, "<?xml") == 0) {
            const std::size_t end = s_.find("?>");
            if (end == std::string::npos) Fail("declaration");
            at_ = end + 2;
        }
        CheckCharacters();
        Skip();
        ParseElement();
        Skip();
        if (at_ != s_.size()) Fail("content after the root");
        return elements_;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw std::runtime_error(what + " at " + std::to_string(at_));
    }
    void Skip() {
        while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\n' || s_[at_] == '\r' || s_[at_] == '\t')) ++at_;
    }
    std::string Name() {
        const std::size_t start = at_;
        while (at_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[at_])) || s_[at_] == ':' ||
                                   s_[at_] == '-' || s_[at_] == '_' || s_[at_] == '.'))
            ++at_;
        if (at_ == start) Fail("name");
        return s_.substr(start, at_ - start);
    }
    std::string Data(char end) {
        std::string out;
        while (at_ < s_.size() && s_[at_] != end) {
            if (s_[at_] == '<') Fail("'<' in data");
            if (s_[at_] == '>' && end == '"') Fail("'>' in attribute");
            if (s_[at_] == '&') {
                const std::size_t semi = s_.find(';', at_);
                if (semi == std::string::npos) Fail("entity");
                const std::string entity = s_.substr(at_, semi - at_ + 1);
                static const std::map<std::string, char> known = {
                    {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
                const auto found = known.find(entity);
                if (found == known.end()) Fail("unknown entity " + entity);
                out += found->second;
                at_ = semi + 1;
                continue;
            }
            out += s_[at_++];
        }
        return out;
    }
    void ParseElement() {
        if (s_[at_] != '<') Fail("'<'");
        ++at_;
        Element element;
        element.name = Name();
        const std::size_t index = elements_.size();
        elements_.push_back(element);
        for (;;) {
            Skip();
            if (s_.compare(at_, 2, "/>") == 0) {
                at_ += 2;
                return;
            }
            if (s_[at_] == '>') break;
            const std::string name = Name();
            if (s_.compare(at_, 2, "=\"") != 0) Fail("unquoted attribute");
            at_ += 2;
            const std::string value = Data('"');
            ++at_;
            if (!elements_[index].attributes.emplace(name, value).second) Fail("repeated attribute " + name);
        }
        ++at_;
        for (;;) {
            elements_[index].text += Data('<');
            if (at_ >= s_.size()) Fail("unclosed " + element.name);
            if (s_.compare(at_, 2, "</") == 0) {
                at_ += 2;
                if (Name() != element.name) Fail("mismatched end of " + element.name);
                if (s_[at_] != '>') Fail("'>'");
                ++at_;
                return;
            }
            ParseElement();
        }
    }
    // Decodes the UTF-8 and refuses what XML 1.0 does not allow as a character.
    void CheckCharacters() const {
        for (std::size_t i = 0; i < s_.size();) {
            const unsigned char b = static_cast<unsigned char>(s_[i]);
            char32_t c;
            int more;
            if (b < 0x80) c = b, more = 0;
            else if ((b & 0xE0) == 0xC0) c = b & 0x1F, more = 1;
            else if ((b & 0xF0) == 0xE0) c = b & 0x0F, more = 2;
            else if ((b & 0xF8) == 0xF0) c = b & 0x07, more = 3;
            else throw std::runtime_error("bad UTF-8 lead at " + std::to_string(i));
            if (i + more >= s_.size() + (more == 0)) throw std::runtime_error("cut UTF-8");
            for (int k = 1; k <= more; ++k) {
                const unsigned char t = static_cast<unsigned char>(s_[i + k]);
                if ((t & 0xC0) != 0x80) throw std::runtime_error("bad UTF-8 trail");
                c = (c << 6) | (t & 0x3F);
            }
            const bool allowed = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
                                 (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
            if (!allowed) throw std::runtime_error("character XML forbids at " + std::to_string(i));
            i += static_cast<std::size_t>(more) + 1;
        }
    }

    const std::string& s_;
    std::size_t at_ = 0;
    std::vector<Element> elements_;
};

core::SvgStyle Style(bool transparent = false) {
    core::SvgStyle style;
    style.cell = {8, 16};
    style.fontPixels = 14;
    style.baseline = 12;
    style.text = 0x00FFFF;  // yellow as 0x00BBGGRR
    style.back = 0x800000;  // navy
    style.transparent = transparent;
    style.fontFamily = "Courier New";
    return style;
}

std::string Write(const std::vector<std::string>& lines, const core::SvgStyle& style = Style()) {
    std::size_t columns = 0;
    for (const auto& line : lines) columns = std::max(columns, line.size());
    std::string doc;
    core::SvgWriter writer(style, columns, lines.size(), [&](std::string_view part) { doc += part; });
    for (const auto& line : lines) writer.AddLine(line);
    writer.Finish();
    return doc;
}

std::vector<Element> Named(const std::vector<Element>& elements, const std::string& name) {
    std::vector<Element> found;
    for (const auto& e : elements)
        if (e.name == name) found.push_back(e);
    return found;
}

}  // namespace

TEST(SvgWriter, ArtBecomesRectsPathsAndTextsSizedInCells) {
    const std::vector<std::string> lines = {
        "\xC9\xCD\xCD\xBB  ABC",    // ╔══╗  ABC: one path, one text
        "\xDB\xDB\xDB x \xDF\xDF",  // ███ x ▀▀: two block runs, one text
        "\xB0\xB1\xB2",             // ░▒▓: three shade rects, each its own share of ink
        "",
    };
    const auto elements = XmlReader(Write(lines)).Parse();
    ASSERT_EQ(elements[0].name, "svg");
    EXPECT_EQ(elements[0].attributes.at("viewBox"), "0 0 72 64");  // 9 cells x 8, 4 lines x 16

    const auto rects = Named(elements, "rect");
    ASSERT_EQ(rects.size(), 1u + 2u + 3u);
    EXPECT_EQ(rects[0].attributes.at("width"), "72") << "the background first, under the whole picture";
    EXPECT_EQ(rects[1].attributes.at("x"), "0");
    EXPECT_EQ(rects[1].attributes.at("width"), "24") << "a run of three full blocks is one rect";
    EXPECT_EQ(rects[1].attributes.at("height"), "16");
    EXPECT_EQ(rects[2].attributes.at("x"), "48");
    EXPECT_EQ(rects[2].attributes.at("height"), "8") << "upper halves";
    EXPECT_EQ(rects[3].attributes.at("fill-opacity"), "0.25");
    EXPECT_EQ(rects[5].attributes.at("fill-opacity"), "0.75");

    EXPECT_EQ(Named(elements, "path").size(), 1u);
    const auto texts = Named(elements, "text");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "ABC") << "blanks at a run's ends are left out";
    EXPECT_EQ(texts[0].attributes.at("x"), "48");
    EXPECT_EQ(texts[0].attributes.at("y"), "12");
    EXPECT_EQ(texts[0].attributes.at("textLength"), "24");
    EXPECT_EQ(texts[0].attributes.at("xml:space"), "preserve");
    EXPECT_EQ(texts[1].text, "x");
    EXPECT_EQ(texts[1].attributes.at("y"), "28");
    const auto groups = Named(elements, "g");
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].attributes.at("font-family"), "Courier New, monospace");
}

TEST(SvgWriter, EveryByteMakesWellFormedXmlAndKeepsItsCell) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const std::vector<std::string> lines = {all, "a & b < c > d \"e\" 'f'", "\t\r\x7F"};
    core::SvgStyle style = Style();
    style.fontFamily = "Odd \"face\" & <name>";
    const std::string doc = Write(lines, style);
    std::vector<Element> elements;
    ASSERT_NO_THROW(elements = XmlReader(doc).Parse()) << doc;
    const auto texts = Named(elements, "text");
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const Element& t) { return t.text == "a & b < c > d \"e\" 'f'"; }));
    EXPECT_EQ(Named(elements, "g")[0].attributes.at("font-family"), "Odd \"face\" & <name>, monospace");
}

TEST(SvgWriter, TransparentHasNoBackgroundAndScaleSizesOnlyThePicture) {
    core::SvgStyle style = Style(true);
    style.scale = 3;
    const auto elements = XmlReader(Write({"AB"}, style)).Parse();
    EXPECT_TRUE(Named(elements, "rect").empty());
    EXPECT_EQ(elements[0].attributes.at("width"), "48");
    EXPECT_EQ(elements[0].attributes.at("height"), "48");
    EXPECT_EQ(elements[0].attributes.at("viewBox"), "0 0 16 16");
}

TEST(SvgWriter, AnEmptyTextIsAnEmptyPicture) {
    const auto elements = XmlReader(Write({})).Parse();
    EXPECT_EQ(elements[0].attributes.at("width"), "0");
    EXPECT_EQ(Named(elements, "text").size(), 0u);
}
