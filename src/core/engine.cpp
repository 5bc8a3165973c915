// muParser stays behind this file and core/parsersetup: no mu:: type leaves them.
#include "core/engine.h"

#include "core/parsersetup.h"

#include <muParser.h>

#include <QHash>

#include <array>
#include <numbers>
#include <unordered_map>

using namespace ParserSetup;

const char *const Engine::PoolExhaustedMessage = "Geen ruimte meer voor variabelen.";

namespace {

// A derivation's parsed form. It reads the memories through the slots bound when it was
// parsed, so it is stale once one of its names is bound to another slot or removed (the
// next parse would create the name again). Each used name is paired with the binding count
// it had then; a name created later cannot occur in it.
struct KeptParse {
    std::unique_ptr<mu::Parser> parser;
    std::vector<std::pair<const unsigned *, unsigned>> bindings;
    std::size_t cost = 0;
    // Evaluated successfully once by the engine's parser.
    bool seen = false;

    bool current() const
    {
        for (const auto &[count, atParse] : bindings) {
            if (*count != atParse)
                return false;
        }
        return true;
    }
};

// Texts this long are kept at their first evaluation: parsing 999 of them again would take
// about a tenth of a second.
constexpr qsizetype KeepAtOnceLength = 160;

} // namespace

struct Engine::Impl {
    mu::Parser parser{configuredParser()};
    // Configured once and copied for each kept parse; its variable factory only binds
    // names the engine's parser already has. Built at the first kept parse: an engine that
    // keeps none (a short session, a budget of 0) never pays for a second parser.
    std::unique_ptr<mu::Parser> keptTemplate;
    std::unordered_map<const CVariabele *, KeptParse> kept;
    // How often each name has been bound to another slot or removed. Elements of an
    // unordered_map keep their address, so a kept parse can point at its counts.
    std::unordered_map<std::string, unsigned> rebinds;
    std::size_t keptBudget = 0;
    std::size_t keptBytes = 0;
    // The parser's current expression. After a kept parse was evaluated the parser itself
    // still holds an older text, and is given this one when it is asked about it.
    QString current;
    bool parserHoldsCurrent = true;
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

    static double *BoundMemorySlot(const char *name, void *userData)
    {
        const auto &vars = static_cast<Impl *>(userData)->parser.GetVar();
        const auto it = vars.find(name);
        if (it == vars.end())
            throw mu::ParserError("Not a memory yet");
        return it->second;
    }

    void rebound(const std::string &name)
    {
        const auto it = rebinds.find(name);
        if (it != rebinds.end())
            ++it->second;
    }

    void dropKept(KeptParse &entry)
    {
        keptBytes -= entry.cost;
        entry.parser.reset();
        entry.bindings.clear();
        entry.cost = 0;
    }

    // Parses `text` into a copy of the template. Fails, leaving no trace, when the text
    // names something the engine's parser does not have, or does not fit the budget.
    bool keep(KeptParse &entry, const std::string &text, double &value)
    {
        const std::size_t cost = estimatedCost(text);
        if (cost > keptBudget - keptBytes)
            return false;
        if (!keptTemplate) {
            keptTemplate = std::make_unique<mu::Parser>(configuredParser());
            keptTemplate->SetVarFactory(&Impl::BoundMemorySlot, this);
        }
        auto copy = std::make_unique<mu::Parser>(*keptTemplate);
        try {
            copy->SetExpr(text);
            value = copy->Eval();
        } catch (const mu::ParserError &) {
            return false;
        }
        for (const auto &[name, slot] : copy->GetVar()) {
            auto &count = rebinds[name];
            entry.bindings.emplace_back(&count, count);
        }
        entry.parser = std::move(copy);
        entry.cost = cost;
        keptBytes += cost;
        return true;
    }

    void appendRecord(const QString &name, const QString &derivation)
    {
        derivations.push_back({name, derivation});
        if (!firstRecord.contains(name))
            firstRecord.insert(name, derivations.size() - 1);
    }
};

Engine::Engine(std::size_t keptParseBudget)
    : d(std::make_unique<Impl>())
{
    d->keptBudget = keptParseBudget;
    StartEngine();
}

Engine::~Engine() = default;

void Engine::StartEngine()
{
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
        d->current = expression;
        d->parserHoldsCurrent = true;
        return d->parser.Eval();
    } catch (const mu::ParserError &error) {
        throw EngineError(error.GetMsg());
    }
}

double Engine::evaluateDerivation(const CVariabele &record)
{
    KeptParse &entry = d->kept[&record];
    if (entry.parser && !entry.current())
        d->dropKept(entry);
    if (entry.parser) {
        try {
            const double value = entry.parser->Eval();
            d->current = record.derivation;
            d->parserHoldsCurrent = false;
            return value;
        } catch (const mu::ParserError &) {
            d->dropKept(entry);
        }
    }
    rejectMisreadInput(record.derivation);
    // A short text waits for its second evaluation: a start evaluates every derivation
    // once and should not pay memory for those it never sees again, and parsing a short
    // one again costs little. A long one is kept at once, as its next parse would freeze
    // the next Enter.
    if (entry.seen || record.derivation.size() >= KeepAtOnceLength) {
        double value = 0.0;
        if (d->keep(entry, toParser(record.derivation), value)) {
            d->hasExpression = true;
            d->current = record.derivation;
            d->parserHoldsCurrent = false;
            return value;
        }
    }
    const double value = evaluate(record.derivation);
    entry.seen = true;
    return value;
}

std::size_t Engine::keptParseBytes() const
{
    return d->keptBytes;
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
        if (!d->parserHoldsCurrent) {
            d->parser.SetExpr(toParser(d->current));
            d->parserHoldsCurrent = true;
        }
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
    const std::string parserName = toParser(name);
    const bool rebinding = d->parser.GetVar().count(parserName) != 0;
    try {
        d->parser.DefineVar(parserName, slot);
    } catch (const mu::ParserError &) {
        return LoadResult::NameRefused;
    }
    if (rebinding)
        d->rebound(parserName);
    *slot = value;
    ++d->loadedCount;
    if (!derivation.isEmpty())
        d->appendRecord(name, derivation);
    return LoadResult::Loaded;
}

const CVariabele *Engine::FindDerivation(const QString &name) const
{
    const auto it = d->firstRecord.constFind(name);
    return it == d->firstRecord.constEnd() ? nullptr : &d->derivations[*it];
}

void Engine::RecordDerivation(const QString &name, const QString &derivation)
{
    const auto it = d->firstRecord.constFind(name);
    if (it != d->firstRecord.constEnd()) {
        CVariabele &record = d->derivations[*it];
        if (record.derivation == derivation)
            return;
        record.derivation = derivation;
        if (const auto kept = d->kept.find(&record); kept != d->kept.end()) {
            d->dropKept(kept->second);
            d->kept.erase(kept);
        }
    } else
        d->appendRecord(name, derivation);
}

void Engine::RemoveMemory(const QString &name)
{
    const std::string parserName = toParser(name);
    d->parser.RemoveVar(parserName);
    d->rebound(parserName);
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
