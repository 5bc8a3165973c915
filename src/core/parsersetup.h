// The parser's setup, shared by the engine and its kept parses: the Dutch number
// conventions, the text conversions, the inputs the library misreads, and what a kept
// parse costs. Only the engine's own files include it.
#pragma once

#include "core/engine.h"

#include <muParser.h>

#include <QString>

#include <string>
#include <vector>

namespace ParserSetup {

// Texts as the library takes and gives them: UTF-8 in narrow strings.
std::string toParser(const QString &text);
QString fromParser(const std::string &text);

// The library cannot tell a number it failed to read (1e400, 1e) from a name, and hands
// it to the factory. Such a name could never be defined again on restore, so refuse it
// here, together with names longer than the library accepts when defining a variable.
bool isCreatableName(const char *name);

// Inputs this version of the library misreads instead of rejecting: it stops reading at
// a NUL, and a sign at the very end of a ';'-separated list reads past its value stack.
// No valid expression of the grammar ends in a sign, so every such text is refused; "the
// end" is judged as the library sees it, past everything it skips.
void rejectMisreadInput(const QString &expression);

// The library's variable map as the engine hands memories out.
std::vector<MemoryRef> toMemoryRefs(const mu::varmap_type &map);

// The parser every engine and every kept parse starts from, configured once. Building and
// configuring a parser costs three times what copying one does, and an engine is made for
// every test and every fuzz input.
const mu::Parser &configuredParser();

// The heap a kept parse holds, estimated from its text: about 7 KB of the parser's own
// tables, the byte code, and an evaluation stack that the library sizes at 128 bytes for
// every number or memory in the text, whatever the byte code keeps of them.
std::size_t estimatedCost(const std::string &text);

} // namespace ParserSetup
