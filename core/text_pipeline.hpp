#pragma once
// From decoded bytes to the view's byte text: line splitting and the view text. Everything
// streams, so a 16 MiB file never exists as a list of line strings next to its view text.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// The view's byte text: every line followed by CR LF. A NUL is a character like any other.
class ViewTextBuilder {
public:
    void AddLine(std::string_view line);

    // AddLine in pieces, for lines that span input buffers: BeginLine, AppendToLine any number
    // of times, EndLine. Gives the same text as AddLine of the joined pieces.
    void BeginLine();
    void AppendToLine(std::string_view piece);
    void EndLine();
    // Every line given so far becomes one open line, without the breaks between them: the line
    // reader took CRs for breaks until an LF showed they were not. Lines hold no CR or LF.
    void JoinLinesSoFar();

    const std::string& Text() const;
    std::string Take();  // leaves the builder empty
    void Reserve(std::size_t n);

private:
    std::string text_;
};

// Collects whole lines; for tests and small inputs, where a list of strings is affordable.
class LineCollector {
public:
    void BeginLine();
    void AppendToLine(std::string_view piece);
    void EndLine();
    void JoinLinesSoFar();

    const std::vector<std::string>& Lines() const;
    std::vector<std::string> Take();

private:
    std::vector<std::string> lines_;
};

// Streaming line splitter over decoded bytes (the view's bytes, one per character). LF ends a
// line; in a text that holds an LF, CR never belongs to a line (CR LF is one break, a CR
// elsewhere is dropped, so CR CR LF is one break). A text without any LF is a classic Mac file:
// there each CR ends a line. A byte other than Ctrl-Z opens a line, so a final break adds no empty
// line but a lone CR gives one. Where Ctrl-Z (0x1A) ends the text (8-bit files, as their decoder
// says), it ends the input, a line in progress still counting, and what follows it is never read
// (an LF there makes no Mac file an LF one).
//
// Until the first LF the reader cannot tell the two kinds apart: it takes each CR for a break, as
// in a Mac file, and at the first LF joins the lines given so far back into the one line that LF
// ends (in an ordinary file a few bytes, if any). So a Mac file streams at the speed of any other,
// with no second pass over the file and no copy of it.
class LineReader {
public:
    explicit LineReader(bool ctrlZEndsText);

    // Returns false once a Ctrl-Z ended the input; later Feed calls are ignored.
    bool Feed(std::string_view bytes, ViewTextBuilder& out);
    bool Feed(std::string_view bytes, LineCollector& out);
    void Finish(ViewTextBuilder& out);  // end of input: ends a line in progress
    void Finish(LineCollector& out);
    bool Ended() const;

private:
    template <class Sink> bool Split(const char* data, std::size_t n, Sink& out);
    template <class Sink> void SplitAtLf(const char* p, const char* end, Sink& out);
    template <class Sink> void SplitAtCr(const char* p, const char* end, Sink& out);
    template <class Sink> void AppendContent(const char* p, const char* end, Sink& out);
    template <class Sink> void OpenLine(Sink& out);
    template <class Sink> void FinishInto(Sink& out);
    template <class Sink> void EndInput(Sink& out);

    bool ctrlZEnds_;
    bool lineOpen_ = false;
    bool anyLine_ = false;  // a line has been given to the sink
    bool lfSeen_ = false;   // an LF has been read: CRs are dropped, not breaks
    bool ended_ = false;
};

}  // namespace core
