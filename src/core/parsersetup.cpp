#include "core/parsersetup.h"

#include "core/numberreader.h"

#include <numbers>

namespace {

// What the library skips between tokens: the space and every control character from
// U+0001 to U+000D. Any other character it reads, or rejects cleanly.
bool isParserBlank(QChar c)
{
    return c == u' ' || (c.unicode() >= 0x01 && c.unicode() <= 0x0d);
}

// Puts the Dutch number conventions, their number reader and the full-precision _pi on
// `parser`. The decimal and thousands separators are process-wide in this library; the
// argument separator, the readers and the constants belong to each parser.
void configure(mu::Parser &parser)
{
    parser.SetArgSep(';');
    parser.SetDecSep(',');
    parser.SetThousandsSep('.');
    // Ahead of the library's own reader, which reads the same numbers but takes time in
    // proportion to the rest of the text for every token it tries.
    parser.AddValIdent(&readNumber);
    // This build of the library truncates _pi to 3.141592653589; give it full precision.
    parser.DefineConst("_pi", std::numbers::pi);
}

} // namespace

namespace ParserSetup {

std::string toParser(const QString &text)
{
    return text.toStdString();
}

QString fromParser(const std::string &text)
{
    return QString::fromStdString(text);
}

// The library cannot tell a number it failed to read (1e400, 1e) from a name, and hands
// it to the factory. Such a name could never be defined again on restore, so refuse it
// here, together with names longer than the library accepts when defining a variable.
bool isCreatableName(const char *name)
{
    if (name == nullptr || *name == '\0')
        return false;
    if (*name >= '0' && *name <= '9')
        return false;
    return std::char_traits<char>::length(name) <= std::size_t(mu::MaxLenIdentifier);
}

// Inputs this version of the library misreads instead of rejecting: it stops reading at
// a NUL, and a sign at the very end of a ';'-separated list reads past its value stack.
// No valid expression of the grammar ends in a sign, so every such text is refused; "the
// end" is judged as the library sees it, past everything it skips.
void rejectMisreadInput(const QString &expression)
{
    if (expression.contains(QChar(u'\0')))
        throw EngineError("NUL character in expression");
    for (qsizetype i = expression.size() - 1; i >= 0; --i) {
        const QChar c = expression.at(i);
        if (isParserBlank(c))
            continue;
        if (c == u'+' || c == u'-')
            throw EngineError("Expression ends in a sign");
        break;
    }
}

std::vector<MemoryRef> toMemoryRefs(const mu::varmap_type &map)
{
    std::vector<MemoryRef> refs;
    refs.reserve(map.size());
    for (const auto &[name, slot] : map)
        refs.push_back({fromParser(name), slot});
    return refs;
}

// The parser every engine and every kept parse starts from, configured once. Building and
// configuring a parser costs three times what copying one does, and an engine is made for
// every test and every fuzz input.
const mu::Parser &configuredParser()
{
    static const mu::Parser parser = [] {
        mu::Parser configured;
        configure(configured);
        return configured;
    }();
    return parser;
}

// The heap a kept parse holds, estimated from its text: about 7 KB of the parser's own
// tables, the byte code, and an evaluation stack that the library sizes at 128 bytes for
// every number or memory in the text, whatever the byte code keeps of them.
std::size_t estimatedCost(const std::string &text)
{
    const auto isOperand = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')
               || c == '_' || c == ',' || c == '.';
    };
    std::size_t operands = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (!isOperand(text[i])) {
            ++i;
            continue;
        }
        while (i < text.size() && isOperand(text[i]))
            ++i;
        if (i == text.size() || text[i] != '(')
            ++operands;
    }
    return 8 * 1024 + 8 * text.size() + 128 * operands;
}

} // namespace ParserSetup
