// The two data files: their bytes, what reading them merges into a running calculator,
// and the Save and Open commands on real files in a temporary folder.
#include "core/numberformat.h"
#include "persistence/calculatordatafile.h"
#include "persistence/datafilecommands.h"
#include "persistence/filename.h"
#include "persistence/textdatafile.h"
#include "support/scriptedfilechooser.h"
#include "support/statelines.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cstdio>
#include <limits>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

constexpr auto Complete = ReadState::End::Complete, EndOfFile = ReadState::End::Cut;

QByteArray hex(const char *spaced)
{
    return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
}

// A UTF-16LE text file: the mark, then `text` with its line feeds as CR LF.
QByteArray utf16(const QString &text, bool mark = true)
{
    QByteArray bytes = mark ? QByteArray("\xff\xfe") : QByteArray();
    const QString lines = QString(text).replace(u"\n"_s, u"\r\n"_s);
    for (const QChar c : lines)
        bytes.append(char(c.unicode() & 0xff)).append(char(c.unicode() >> 8));
    return bytes;
}

// `bytes` as a device; a sparse one claims a terabyte, as a sparse file does, of which
// only `bytes` are there.
class Device : public QBuffer {
public:
    Device(const QByteArray &bytes, bool sparse)
        : m_sparse(sparse)
    {
        setData(bytes);
        open(QIODevice::ReadOnly);
    }
    qint64 size() const override { return m_sparse ? qint64(1) << 40 : QBuffer::size(); }
    qint64 bytesAvailable() const override { return size() - pos(); }

private:
    bool m_sparse;
};

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

} // namespace

TEST(DataFileBytes, WritersProduceTheDocumentedBytes)
{
    const CalculatorState worked{u"a*2"_s, {u"a*2"_s, u"a=3"_s}, {{u"a"_s, 3, u"a=3"_s}}};
    // A text of n x's, and the two empty counts after it.
    const auto xs = [](int n) { return QByteArray("x\0", 2).repeated(n) + QByteArray(8, 0); };
    const auto cdf = writeCalculatorDataFile, csv = writeTextDataFile;
    const std::tuple<const char *, decltype(cdf), CalculatorState, QByteArray> rows[] = {
        {"empty", cdf, {}, hex("FFFEFF00 00000000 00000000")},
        {"example", cdf, worked,
         hex("FFFEFF03 61002A003200 02000000 FFFEFF03 61002A003200 FFFEFF03 61003D003300"
             "01000000 FFFEFF01 6100 0000000000000840 FFFEFF03 61003D003300")},
        {"254", cdf, {QString(254, u'x'), {}, {}}, hex("FFFEFFFE") + xs(254)},
        {"255", cdf, {QString(255, u'x'), {}, {}}, hex("FFFEFFFFFF00") + xs(255)},
        {"65534", cdf, {QString(65534, u'x'), {}, {}}, hex("FFFEFFFFFFFF FEFF0000") + xs(65534)},
        {"empty csv", csv, {}, utf16(u"current\t\n"_s)},
        {"example csv", csv, worked,
         utf16(u"current\ta*2\nhistory\ta*2\nhistory\ta=3\nmemory\ta\t3\ta=3\n"_s)},
    };
    for (const auto &[name, writer, state, bytes] : rows)
        EXPECT_EQ(writer(state).toHex(' '), bytes.toHex(' ')) << name;
}

// Values keep every bit in a .cdf and 15 digits in the text file, also under a German
// locale: the process locale follows the desktop, and a German one writes and reads 0,25
// through printf and strtod.
TEST(DataFileBytes, RoundTripsKeepValuesBitForBitInCdfAndTo15DigitsInCsv)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double values[] = {
        0.1,     -0.0,      inf,    -inf, std::bit_cast<double>(0x7ff8000000000123ULL),
        1.0 / 3, 0.1 + 0.2, 5e-324, 1e300};
    CalculatorState saved{u"max(1;2)\ttab"_s, {u"caf\u00e9 \U0001F600"_s}, {}};
    for (const double value : values)
        saved.memories.push_back({u"m%1"_s.arg(saved.memories.size()), value, {}});
    saved.memories[0].derivation = u"m0 = 0.1"_s;
    const std::string before = std::setlocale(LC_ALL, nullptr);
    const bool german =
        std::setlocale(LC_ALL, "de_DE.UTF-8") && *std::localeconv()->decimal_point == ',';
    TestCalculator cdf, csv;
    const auto cdfRead =
        readBytes(readCalculatorDataFile, writeCalculatorDataFile(saved), cdf.calculator);
    const auto csvRead = readBytes(readTextDataFile, writeTextDataFile(saved), csv.calculator);
    std::setlocale(LC_ALL, before.c_str());
    EXPECT_EQ(std::pair(cdfRead, csvRead), std::pair(Complete, Complete));
    EXPECT_EQ(stateLines(cdf.calculator.state()), stateLines(saved));
    const CalculatorState back = csv.calculator.state();
    // A TAB ends a text field of the text file.
    EXPECT_EQ(std::pair(back.expression, back.history), std::pair(u"max(1;2)"_s, saved.history));
    ASSERT_EQ(back.memories.size(), saved.memories.size());
    for (std::size_t i = 0; i < back.memories.size(); ++i)
        EXPECT_EQ(formatDecimal(back.memories[i].value), formatDecimal(values[i])) << i;
    if (!german)
        GTEST_SKIP() << "ran in the C locale only: de_DE.UTF-8 is not installed (./korvel.sh "
                        "test installs it)";
}

// What a damaged or foreign .cdf leaves in the calculator: everything read before the
// damage, and nothing that the bytes cannot hold.
TEST(CalculatorDataFile, ReadsWhatIsThereAndStopsAtTheEnd)
{
    // The bytes, how reading them ends, and the state they leave, a line at a '|'.
    const std::tuple<QByteArray, ReadState::End, QString> rows[] = {
        // narrow strings in Windows-1252
        {hex("02 80E9 01000000 01 78 01000000 01 62 000000000000F03F 00"), Complete,
         u"edit \u20ac\u00e9|history x|b=3ff0000000000000|rows 0"_s},
        // long forms of short lengths
        {hex("FFFEFFFF0300 610062006300 02000000 FFFEFFFFFFFF01000000 7800"
             "FFFEFFFFFFFFFFFFFFFF0100000000000000 7900"),
         EndOfFile, u"edit abc|history x|history y|rows 0"_s},
        // negative counts
        {hex("FFFEFF01 6100 FFFFFFFF FBFFFFFF 0102"), Complete, u"edit a|rows 0"_s},
        // a history count past the data
        {hex("00 40420F00 01 68 01 69"), EndOfFile, u"edit |history h|history i|rows 0"_s},
        // after the marker, the escape and the word 0xfffe are a length, not a second marker
        {hex("FFFEFF FFFEFF") + QByteArray("x\0", 2).repeated(65534) + QByteArray(8, 0), Complete,
         u"edit "_s + QString(65534, u'x') + u"|rows 0"_s},
        // huge lengths allocate nothing, also those a sparse file could hold
        {hex("FFFEFFFFFFFFFFFFFFFF FFFFFFFFFFFFFF3F 0000"), EndOfFile, u"edit |rows 0"_s},
        {hex("FFFEFFFFFFFFFFFFFFFF 0000000040000000 6100"), EndOfFile, u"edit |rows 0"_s},
        // cut inside a memory entry
        {hex("00 00000000 03000000 01 61 0000000000001440 00 01 62 00"), EndOfFile,
         u"edit |a=4014000000000000|rows 0"_s},
        // refused names are skipped
        {hex("00 00000000 03000000 04 31616263 0000000000000000 00"
             "01 62 000000000000F03F 05 62203D2032 00 0000000000000000 00"),
         Complete, u"edit |b=3ff0000000000000 b = 2|b: b = 2|rows 0"_s},
    };
    for (const auto &[bytes, outcome, state] : rows) {
        for (const bool sparse : {false, true}) {
            TestCalculator calc;
            Device device(bytes, sparse);
            EXPECT_EQ(readInto(readCalculatorDataFile, device, calc.calculator), outcome)
                << qPrintable(state.left(100)) << (sparse ? " (sparse)" : "");
            EXPECT_EQ(calc.state().join(u'|'), state);
        }
    }
    // Of 1000 memory entries the first 999 are read and the rest is left alone.
    CalculatorState full;
    for (int i = 0; i <= Engine::PoolSize; ++i)
        full.memories.push_back({u"m%1"_s.arg(i), 1, {}});
    TestCalculator calc;
    const ReadState::End outcome =
        readBytes(readCalculatorDataFile, writeCalculatorDataFile(full), calc.calculator);
    EXPECT_EQ(std::pair(outcome, calc.engine.loadedSlots()), std::pair(Complete, 999));
}

TEST(TextDataFile, ReadsKnownLinesPieceByPiece)
{
    const QString x4991(4991, u'x'), x3183(3183, u'x'), y4990(4990, u'y');
    // The bytes, and the state they leave, a line at a '|'.
    const std::pair<QByteArray, QString> rows[] = {
        // fields and values
        {utf16(u"current\tfirst\ncurrent\tlast\textra\nhistory\n"
               u"memory\ta\t  1.5e3xyz\ta = 1\tmore\nmemory\tb\tabc\nmemory\tc\t-inf\n"
               u"memory\td\t0x10\nmemory\t1bad\t2\nmemory\te\t1e400"_s),
         u"edit last|history |a=4097700000000000 a = 1|b=0|c=fff0000000000000|"
         u"d=4030000000000000|e=7ff0000000000000|a: a = 1|rows 0"_s},
        // a current line without a TAB, then unknown lines
        {utf16(
             u"current\nMemory\tx\t1\nHISTORY\tx\nCurrent\tx\nCURRENT\tx\n current\tx\n\nother\n"_s),
         u"edit |rows 0"_s},
        // a line of exactly one piece, the next line read straight after it: the only row
        // that a piece one character shorter or longer breaks
        {utf16(u"history\t"_s + x4991 + u"history\tsecond\n"_s),
         u"edit kept|history "_s + x4991 + u"|history second|rows 0"_s},
        // a full piece whose CR LF the first read of the file splits
        {utf16(u"history\t"_s + x3183 + u"\nhistory\t"_s + y4990 + u"\n"_s),
         u"edit kept|history "_s + x3183 + u"|history "_s + y4990 + u"|rows 0"_s},
        // UTF-8 with a mark, UTF-16 without one, an odd byte at the end, and a .cdf
        {QByteArray("\xef\xbb\xbfhistory\tcaf\xc3\xa9\r\n"),
         u"edit kept|history caf\u00e9|rows 0"_s},
        {utf16(u"history\tx\n"_s, false), u"edit kept|history x|rows 0"_s},
        {utf16(u"history\tx"_s) + 'y', u"edit kept|history x|rows 0"_s},
        {hex("FFFEFF03 61002A003200 00000000 00000000"), u"edit kept|rows 0"_s},
    };
    for (const auto &[bytes, state] : rows) {
        for (const bool sparse : {false, true}) {
            TestCalculator calc;
            calc.calculator.setExpressionText(u"kept"_s);
            Device device(bytes, sparse);
            EXPECT_EQ(readInto(readTextDataFile, device, calc.calculator), Complete);
            EXPECT_EQ(calc.state().join(u'|'), state);
        }
    }
    // The 1000th memory line meets the full pool, once; nothing after it counts as read.
    QString lines;
    for (int i = 0; i <= Engine::PoolSize; ++i)
        lines += u"memory\tm%1\t1\nhistory\th%1\n"_s.arg(i);
    TestCalculator full;
    readBytes(readTextDataFile, utf16(lines + u"current\tafter\n"_s), full.calculator);
    EXPECT_EQ(std::tuple(full.engine.loadedSlots(), full.messages.shown,
                         full.calculator.history()->rowCount(), full.calculator.expressionText()),
              std::tuple(999, QList{Message::MemoryPoolFull}, 999, QString()));
    EXPECT_EQ(splitFields(u"a\t\tb\tc\td\te\tf\tg\th\ti\tj\tk\n"),
              QStringList({"a", "", "b", "c", "d", "e", "f", "g", "h", "i"}));
}

// The commands on real files, as the dialog runs them: the format follows the extension,
// and neither a failed save nor a damaged file loses anything. (What opening merges into a
// running dialog is checked with the files the dialog takes from outside.)
class DataFileCommands : public ::testing::Test {
protected:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    // Runs `command` with the chooser answering each name in turn (empty: cancel).
    void run(void (*command)(Calculator &, FileChooser &), TestCalculator &calc,
             const QStringList &names)
    {
        for (const QString &name : names) {
            m_files.answers = {name.isEmpty() ? QString() : path(name)};
            command(calc.calculator, m_files);
        }
    }

    QTemporaryDir m_dir;
    ScriptedFileChooser m_files;
};

TEST_F(DataFileCommands, ExtensionChoosesTheFormat)
{
    TestCalculator calc;
    const QStringList names{"a.CSV", "b.CsV", "c.csv", "d.txt", "e.", "f", "g.csv.cdf"};
    run(saveDataFile, calc, names);
    // The third byte: the 'c' of "current" in a text file, the marker of a string in a .cdf.
    QByteArray kinds;
    for (const QString &name : names)
        kinds += contents(path(name)).at(2);
    EXPECT_EQ(kinds, "ccc\xff\xff\xff\xff");
}

TEST_F(DataFileCommands, NothingIsLostWhenSavingOrReadingFails)
{
    // The state of the worked example (the text a*2, the history a*2 then a=3, and the memory
    // a = 3 with that derivation), then b = 2 calculated.
    TestCalculator calc;
    calc.calculator.calculate(u"a=3"_s);
    calc.engine.RecordDerivation(u"a"_s, u"a=3"_s);
    calc.calculator.calculate(u"a*2"_s);
    calc.calculator.calculate(u"b = 2"_s);
    run(saveDataFile, calc, {u"old.cdf"_s});
    const QByteArray old = contents(path(u"old.cdf"_s));
    // Cancelled, a folder that is not there, and a folder as the target: nothing written,
    // the old file intact.
    run(saveDataFile, calc, {QString(), u"missing/new.cdf"_s, u"."_s});
    EXPECT_EQ(calc.messages.shown, QList<Message>(2, Message::CannotCreate));
    EXPECT_EQ(contents(path(u"old.cdf"_s)), old);

    // A file cut inside the memory entry keeps what came before and skips the closing
    // steps; a full load pool is reported once and the closing steps still run.
    ASSERT_TRUE(writeWholeFile(path(u"cut.cdf"_s), old.chopped(3)));
    // A pipe never holds the open up, and a file larger than any Korvel writes (a sparse one,
    // as big as it claims) is refused unread.
    ASSERT_EQ(::mkfifo(QFile::encodeName(path(u"pipe.cdf"_s)).constData(), 0600), 0);
    QFile sparse(path(u"sparse.csv"_s));
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly) && sparse.write(utf16(u"current\tx"_s)) > 0
                && sparse.resize(qint64(1) << 40));
    sparse.close();
    TestCalculator reader;
    run(openDataFile, reader,
        {u"cut.cdf"_s, u"absent.cdf"_s, QString(), u"."_s, u"pipe.cdf"_s, u"sparse.csv"_s});
    EXPECT_EQ(reader.state(), QStringList({"edit b = 2", "history b = 2", "history a*2",
                                           "history a=3", "a=4008000000000000 a=3", "a: a=3",
                                           "rows 0", "UnexpectedEndOfFile", "FileTooLarge"}));
    ReadState filling;
    for (int i = reader.engine.loadedSlots(); i < Engine::PoolSize; ++i)
        filling.addMemory({u"m"_s, double(i), {}});
    reader.calculator.merge(filling, MergeScope::Items);
    reader.messages.shown.clear();
    // A name that is not UTF-8 opens all the same.
    const QString strange = u"old\xdcff.cdf"_s;
    ASSERT_EQ(std::rename(QFile::encodeName(path(u"old.cdf"_s)).constData(),
                          fileNameBytes(path(strange)).constData()),
              0);
    run(openDataFile, reader, {strange});
    EXPECT_EQ(reader.messages.shown, QList{Message::MemoryPoolFull});
    EXPECT_EQ(reader.state().value(reader.state().size() - 2), u"rows 2"_s);
    // Met before the cut, the full pool leaves the cut unread: the closing steps run.
    reader.messages.shown.clear();
    run(openDataFile, reader, {u"cut.cdf"_s});
    EXPECT_EQ(reader.messages.shown, QList{Message::MemoryPoolFull});
}

// A file name keeps every byte through its text, and valid UTF-8 reads as UTF-8.
TEST(FileNames, KeepEveryByteAndReadUtf8AsText)
{
    const std::pair<QByteArray, QString> rows[] = {
        {"caf\xc3\xa9 \xf0\x9f\x98\x80", u"caf\u00e9 \U0001F600"_s},
        {"x\xff.cdf", u"x\xdcff.cdf"_s},
        {"\xc0\xaf \xed\xa0\x80 \xf4\x90\x80\x80",
         u"\xdcc0\xdcaf \xdced\xdca0\xdc80 \xdcf4\xdc90\xdc80\xdc80"_s},
        {"\xe2\x82 \xe2\x82\xac\x80", u"\xdce2\xdc82 \u20ac\xdc80"_s},
        {"\xf0\x90\x82\x80\xdc", u"\U00010080\xdcdc"_s},
    };
    for (const auto &[bytes, name] : rows) {
        EXPECT_EQ(fileNameFromBytes(bytes), name) << bytes.toHex().constData();
        EXPECT_EQ(fileNameBytes(name).toHex(), bytes.toHex());
    }
}

// Nothing written is ever half there: a write that fails at any byte leaves the old file.
TEST(CrashSafety, AWriteThatFailsAtAnyByteLeavesTheOldFileWhole)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(u"state.cdf"_s);
    const QByteArray before(300, 'o'), after(500, 'n');
    ASSERT_TRUE(writeWholeFile(path, before));
    for (qint64 at = 0; at < after.size(); at += 7)
        ASSERT_FALSE(writeWholeFile(path, after, at)) << at;
    EXPECT_EQ(contents(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{u"state.cdf"_s});
    EXPECT_TRUE(writeWholeFile(path, after, after.size()));
    EXPECT_EQ(contents(path), after);
}
