// muParser stays behind this file: no mu:: type leaves it.
#include "core/engine.h"

#include <muParser.h>

#include <QHash>

#include <array>
#include <numbers>

const char *const Engine::PoolExhaustedMessage = "Geen ruimte meer voor variabelen.";

namespace {

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

// What the library skips between tokens: the space and every control character from
// U+0001 to U+000D. Any other character it reads, or rejects cleanly.
bool isParserBlank(QChar c)
{
    return c == u' ' || (c.unicode() >= 0x01 && c.unicode() <= 0x0d);
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

} // namespace

struct Engine::Impl {
    mu::Parser parser;
    std::array<double, PoolSize> creationPool{};
    std::array<double, PoolSize> loadPool{};
    int createdCount = 0;
    int loadedCount = 0;
    bool hasExpression = false;
    std::deque<CVariabele> derivations;
    // Index of the first record per name; records are never removed, so it only grows.
    QHash<QString, std::size_t> firstRecord;

    static double *CreateMemorySlot(const char *name, void *userData)
    {
        auto *self = static_cast<Impl *>(userData);
        if (self->createdCount >= PoolSize)
            throw mu::ParserError(Engine::PoolExhaustedMessage);
        if (!isCreatableName(name))
            throw mu::ParserError("Invalid name for a memory");
        double *slot = &self->creationPool[std::size_t(self->createdCount++)];
        *slot = 0.0;
        return slot;
    }

    void appendRecord(const QString &name, const QString &derivation, double value)
    {
        derivations.push_back({name, derivation, value});
        if (!firstRecord.contains(name))
            firstRecord.insert(name, derivations.size() - 1);
    }
};

Engine::Engine()
    : d(std::make_unique<Impl>())
{
    // This build of the library truncates _pi to 3.141592653589; give it full precision.
    d->parser.DefineConst("_pi", std::numbers::pi);
}

Engine::~Engine() = default;

void Engine::StartEngine()
{
    d->parser.SetArgSep(';');
    d->parser.SetDecSep(',');
    d->parser.SetThousandsSep('.');
    d->parser.SetVarFactory(&Impl::CreateMemorySlot, d.get());
}

void Engine::PrimeParser()
{
    evaluate(QStringLiteral("0+0"));
}

double Engine::evaluate(const QString &expression)
{
    rejectMisreadInput(expression);
    try {
        d->parser.SetExpr(toParser(expression));
        d->hasExpression = true;
        return d->parser.Eval();
    } catch (const mu::ParserError &error) {
        throw EngineError(error.GetMsg());
    }
}

bool Engine::hasCurrentExpression() const
{
    return d->hasExpression;
}

std::vector<MemoryRef> Engine::memories() const
{
    return toMemoryRefs(d->parser.GetVar());
}

std::vector<MemoryRef> Engine::usedMemories() const
{
    try {
        return toMemoryRefs(d->parser.GetUsedVar());
    } catch (const mu::ParserError &error) {
        throw EngineError(error.GetMsg());
    }
}

const double *Engine::memory(const QString &name) const
{
    const auto &vars = d->parser.GetVar();
    const auto it = vars.find(toParser(name));
    return it == vars.end() ? nullptr : it->second;
}

LoadResult Engine::LoadMemory(const QString &name, double value, const QString &derivation)
{
    if (d->loadedCount >= PoolSize)
        return LoadResult::PoolFull;
    double *slot = &d->loadPool[std::size_t(d->loadedCount)];
    // The parser keeps the address only if it accepts the name, so the slot is counted
    // after a successful definition and a refused name leaves no trace.
    try {
        d->parser.DefineVar(toParser(name), slot);
    } catch (const mu::ParserError &) {
        return LoadResult::NameRefused;
    }
    *slot = value;
    ++d->loadedCount;
    if (!derivation.isEmpty())
        d->appendRecord(name, derivation, value);
    return LoadResult::Loaded;
}

const CVariabele *Engine::FindDerivation(const QString &name) const
{
    const auto it = d->firstRecord.constFind(name);
    return it == d->firstRecord.constEnd() ? nullptr : &d->derivations[*it];
}

void Engine::RecordDerivation(const QString &name, const QString &derivation, double value)
{
    const auto it = d->firstRecord.constFind(name);
    if (it != d->firstRecord.constEnd())
        d->derivations[*it].derivation = derivation;
    else
        d->appendRecord(name, derivation, value);
}

void Engine::RemoveMemory(const QString &name)
{
    d->parser.RemoveVar(toParser(name));
}

const std::deque<CVariabele> &Engine::derivations() const
{
    return d->derivations;
}

int Engine::createdSlots() const
{
    return d->createdCount;
}

int Engine::loadedSlots() const
{
    return d->loadedCount;
}
