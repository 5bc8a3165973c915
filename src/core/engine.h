// The expression engine: one configured muParser parser, the memory table that gives
// every memory a value slot whose address never changes, the derivation list, and the
// parsed form of each derivation kept between rebuilds of the memory list.
#pragma once

#include <QString>

#include <algorithm>
#include <cstddef>
#include <deque>
#include <memory>
#include <stdexcept>
#include <vector>

/// A derivation record: the expression that sets a memory, kept for the rest of the run.
struct CVariabele {
    QString name;
    QString derivation;
};

/// Any failure of the parser or the variable factory while evaluating.
class EngineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// One parser variable: its name and the slot that holds its value.
struct MemoryRef {
    QString name;
    double *slot = nullptr;
};

enum class LoadResult {
    Loaded,
    PoolFull,    ///< all load slots are in use; the caller stops its loading run
    NameRefused, ///< the parser does not accept the name; nothing was defined
};

class Engine {
public:
    static constexpr int PoolSize = 999;
    /// What the kept parsed forms of derivations may hold in all, estimated in bytes; a
    /// derivation that does not fit is parsed again at every evaluation.
    static constexpr std::size_t DefaultKeptParseBudget = std::size_t(160) << 20;

    /// The message carried by the error raised when the creation pool is exhausted.
    static const char *const PoolExhaustedMessage;

    /// An engine ready to evaluate, with the Dutch number conventions (';' between
    /// arguments, ',' as decimal point, '.' as thousands separator).
    explicit Engine(std::size_t keptParseBudget = DefaultKeptParseBudget);
    ~Engine();
    Engine(const Engine &) = delete;
    Engine &operator=(const Engine &) = delete;

    /// Evaluates "0+0" so that the parser has a current expression without variables.
    void PrimeParser();

    /// Makes `expression` the current expression and evaluates it. Unknown names become
    /// memories with value 0. Throws EngineError.
    double evaluate(const QString &expression);

    /// Evaluates a derivation record's expression exactly as `evaluate` would, reusing its
    /// parsed form from an earlier evaluation while every name it uses keeps its slot.
    double evaluateDerivation(const CVariabele &record);

    /// Bytes the kept parsed forms are estimated to hold.
    std::size_t keptParseBytes() const;

    /// Whether any expression has been handed to the parser yet.
    bool hasCurrentExpression() const;

    /// All variables, in ascending order of the names' character codes.
    std::vector<MemoryRef> memories() const;

    /// The variables that occur in the current expression, in the same order. Throws
    /// EngineError when the current expression does not parse.
    std::vector<MemoryRef> usedMemories() const;

    /// The value of the variable `name`, or nullptr when there is none.
    const double *memory(const QString &name) const;

    /// Binds `name` to the next load slot holding `value`; a non-empty derivation is
    /// appended to the derivation list without looking for an older record.
    LoadResult LoadMemory(const QString &name, double value, const QString &derivation);

    /// Whether LoadMemory takes `name` for certain: an ASCII letter, then ASCII letters,
    /// digits and '_', fewer than 100 characters in all. A name outside these may still be
    /// taken; only LoadMemory decides.
    static bool takesName(const QString &name)
    {
        // The parser refuses an empty name, one longer than its limit of 100 characters, one
        // that starts with a digit or holds any other character, and a constant's name (each
        // of which starts with '_').
        const auto letter = [](QChar c) {
            return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        };
        if (name.isEmpty() || name.size() >= 100 || !letter(name[0]))
            return false;
        return std::all_of(name.begin(), name.end(), [&](QChar c) {
            return letter(c) || (c >= u'0' && c <= u'9') || c == u'_';
        });
    }

    /// The first derivation record whose name equals `name` exactly, or nullptr.
    const CVariabele *FindDerivation(const QString &name) const;

    /// Replaces the derivation of the first record of `name`, or appends a new record.
    void RecordDerivation(const QString &name, const QString &derivation);

    /// Makes the parser forget `name`; its slot stays idle and its derivation record stays.
    void RemoveMemory(const QString &name);

    /// The derivation list in order. Records are only ever appended.
    const std::deque<CVariabele> &derivations() const;

    int createdSlots() const; ///< creation-pool slots handed out so far
    int loadedSlots() const;  ///< load-pool slots handed out so far

private:
    /// Installs the variable factory on the parser, a copy of one set up with the number
    /// conventions.
    void StartEngine();

    struct Impl;
    std::unique_ptr<Impl> d;
};
