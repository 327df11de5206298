#include "app/ThunarActions.h"

#include "app/ShellMenuText.h"

#include <vector>

namespace app {

namespace {

struct Span {
    std::size_t begin;
    std::size_t end;
};

// What the scanner learns of a document: where </actions> starts and where each of our actions is.
struct Layout {
    std::size_t rootClose = std::string_view::npos;
    std::vector<Span> ours;
};

class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    std::optional<Layout> scan(std::string* problem)
    {
        while (position_ < text_.size() && ok_) {
            const std::size_t open = text_.find('<', position_);
            if (open == std::string_view::npos)
                break;
            if (stack_.size() == 3 && stack_.back() == "unique-id")
                idText_ += text_.substr(position_, open - position_);
            position_ = open;
            markup();
        }
        if (ok_ && (!stack_.empty() || layout_.rootClose == std::string_view::npos))
            fail("文件不完整");
        if (!ok_) {
            if (problem)
                *problem = reason_;
            return std::nullopt;
        }
        return layout_;
    }

private:
    void fail(const char* reason)
    {
        if (ok_)
            reason_ = reason;
        ok_ = false;
    }

    // Moves past the text that ends with `terminator`, or fails when there is none.
    void skipPast(std::string_view terminator)
    {
        const std::size_t end = text_.find(terminator, position_);
        if (end == std::string_view::npos)
            return fail("文件不完整");
        position_ = end + terminator.size();
    }

    void markup()
    {
        const std::string_view rest = text_.substr(position_);
        if (rest.starts_with("<!--"))
            return skipPast("-->");
        if (rest.starts_with("<![CDATA["))
            return skipPast("]]>");
        if (rest.starts_with("<?"))
            return skipPast("?>");
        if (rest.starts_with("<!")) {
            const std::size_t end = rest.find('>');
            if (end == std::string_view::npos || rest.substr(0, end).find('[') != std::string_view::npos)
                return fail("无法识别的文档类型声明");
            position_ += end + 1;
            return;
        }
        tag();
    }

    // The end of a tag that starts at position_: the '>' outside quoted attribute values.
    std::size_t tagEnd() const
    {
        char quote = 0;
        for (std::size_t i = position_ + 1; i < text_.size(); ++i) {
            const char c = text_[i];
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                return i;
            } else if (c == '<') {
                break;
            }
        }
        return std::string_view::npos;
    }

    void tag()
    {
        const std::size_t start = position_;
        const std::size_t end = tagEnd();
        if (end == std::string_view::npos)
            return fail("标签不完整");
        const bool closing = text_[start + 1] == '/';
        const bool selfClosing = !closing && text_[end - 1] == '/';
        std::size_t nameBegin = start + (closing ? 2 : 1);
        std::size_t nameEnd = nameBegin;
        while (nameEnd < end && text_.substr(nameEnd, 1).find_first_of(" \t\r\n/") == std::string_view::npos)
            ++nameEnd;
        const std::string name(text_.substr(nameBegin, nameEnd - nameBegin));
        if (name.empty())
            return fail("标签不完整");
        position_ = end + 1;
        if (closing)
            return close(name, start);
        if (stack_.empty() && layout_.rootClose != std::string_view::npos)
            return fail("根元素之后还有元素");
        if (stack_.empty() && name != "actions")
            return fail("根元素不是 <actions>");
        if (selfClosing)
            return;
        if (stack_.size() == 1 && name == "action") {
            actionStart_ = start;
            actionId_.clear();
        }
        if (stack_.size() == 2 && name == "unique-id")
            idText_.clear();
        stack_.push_back(name);
    }

    void close(const std::string& name, std::size_t start)
    {
        if (stack_.empty() || stack_.back() != name)
            return fail("开始和结束标签不匹配");
        stack_.pop_back();
        if (stack_.empty())
            layout_.rootClose = start;
        else if (stack_.size() == 2 && name == "unique-id" && stack_.back() == "action")
            actionId_ = idText_;
        else if (stack_.size() == 1 && name == "action" && actionId_.starts_with(ThunarActions::kIdPrefix))
            layout_.ours.push_back({actionStart_, position_});
    }

    std::string_view text_;
    std::size_t position_ = 0;
    std::vector<std::string> stack_;
    Layout layout_;
    std::size_t actionStart_ = 0;
    std::string actionId_;
    std::string idText_;
    bool ok_ = true;
    std::string reason_;
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The span widened to whole lines when nothing else shares them, so that taking it out leaves
// no empty line behind.
Span wholeLines(std::string_view text, Span span)
{
    std::size_t begin = span.begin;
    while (begin > 0 && isBlank(text[begin - 1]))
        --begin;
    if (begin != 0 && text[begin - 1] != '\n')
        return span;
    std::size_t end = span.end;
    while (end < text.size() && isBlank(text[end]))
        ++end;
    if (end < text.size() && text[end] == '\n')
        return {begin, end + 1};
    return end == text.size() ? Span{begin, end} : span;
}

// Where new actions go: the start of the line of </actions> when it stands alone on it.
std::size_t insertionPoint(std::string_view text, std::size_t rootClose)
{
    std::size_t point = rootClose;
    while (point > 0 && isBlank(text[point - 1]))
        --point;
    return (point == 0 || text[point - 1] == '\n') ? point : rootClose;
}

}  // namespace

std::string ThunarActions::emptyDocument()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n</actions>\n";
}

std::string ThunarActions::action(std::string_view name, std::string_view uniqueId, std::string_view command)
{
    return "<action>\n"
           "\t<icon>video-x-generic</icon>\n"
           "\t<name>" + ShellMenuText::xmlText(name) + "</name>\n"
           "\t<submenu>Lumaret</submenu>\n"
           "\t<unique-id>" + ShellMenuText::xmlText(uniqueId) + "</unique-id>\n"
           "\t<command>" + ShellMenuText::xmlText(command) + "</command>\n"
           "\t<description>用 Lumaret 转换</description>\n"
           "\t<range></range>\n"
           "\t<patterns>*</patterns>\n"
           "\t<audio-files/>\n"
           "\t<video-files/>\n"
           "</action>\n";
}

std::optional<std::string> ThunarActions::merge(std::string_view document, std::string_view actions,
                                                std::string* problem)
{
    const std::optional<Layout> layout = Scanner(document).scan(problem);
    if (!layout)
        return std::nullopt;
    std::size_t insertAt = insertionPoint(document, layout->rootClose);
    const bool ownLine = insertAt != layout->rootClose || insertAt == 0 || document[insertAt - 1] == '\n';
    std::string merged;
    std::size_t copied = 0;
    for (const Span& found : layout->ours) {
        const Span span = wholeLines(document, found);
        merged += document.substr(copied, span.begin - copied);
        copied = span.end;
    }
    // The insertion point lies after every action; a widened span ends at it at the latest.
    if (insertAt < copied)
        insertAt = copied;
    merged += document.substr(copied, insertAt - copied);
    if (!actions.empty())
        merged += (ownLine ? std::string() : std::string("\n")) + std::string(actions);
    merged += document.substr(insertAt);
    return merged;
}

bool ThunarActions::holdsOurs(std::string_view document)
{
    const std::optional<Layout> layout = Scanner(document).scan(nullptr);
    return layout && !layout->ours.empty();
}

}  // namespace app
