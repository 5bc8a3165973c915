// The two data files: their bytes, what reading them merges into a running calculator,
// and the Save and Open commands on real files in a temporary folder.
#include "core/numberformat.h"
#include "persistence/calculatordatafile.h"
#include "persistence/datafilecommands.h"
#include "persistence/textdatafile.h"
#include "support/scriptedfilechooser.h"
#include "support/statelines.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <functional>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

enum class Format {
    Cdf,
    Csv
};

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

QString outcomeName(ReadOutcome outcome)
{
    switch (outcome) {
    case ReadOutcome::Complete:
        return u"Complete"_s;
    case ReadOutcome::PoolFull:
        return u"PoolFull"_s;
    case ReadOutcome::EndOfFile:
        return u"EndOfFile"_s;
    }
    return {};
}

using Calc = TestCalculator;

QByteArray write(const Calc &calc, Format format)
{
    const CalculatorState state = calc.calculator.state();
    return format == Format::Cdf ? writeCalculatorDataFile(state) : writeTextDataFile(state);
}

ReadOutcome read(Calc &calc, Format format, const QByteArray &bytes)
{
    return format == Format::Cdf ? readBytes(readCalculatorDataFile, bytes, calc.calculator)
                                 : readBytes(readTextDataFile, bytes, calc.calculator);
}

// The state of the worked example: the text a*2, the history a*2 then a=3, and the memory
// a = 3 with that derivation.
void workedExample(Calc &calc)
{
    calc.calculator.calculate(u"a=3"_s);
    calc.engine.RecordDerivation(u"a"_s, u"a=3"_s, 3);
    calc.calculator.calculate(u"a*2"_s);
}

} // namespace

TEST(DataFileBytes, WritersProduceTheDocumentedBytes)
{
    const auto text = [](qsizetype length) {
        return [length](Calc &calc) { calc.calculator.setExpressionText(QString(length, u'x')); };
    };
    const std::tuple<const char *, Format, std::function<void(Calc &)>, QByteArray> rows[] = {
        {"empty", Format::Cdf, [](Calc &) {}, hex("FFFEFF00 00000000 00000000")},
        {"example", Format::Cdf, workedExample,
         hex("FFFEFF03 61002A003200 02000000 FFFEFF03 61002A003200 FFFEFF03 61003D003300"
             "01000000 FFFEFF01 6100 0000000000000840 FFFEFF03 61003D003300")},
        {"254", Format::Cdf, text(254), hex("FFFEFFFE 7800")},
        {"255", Format::Cdf, text(255), hex("FFFEFFFFFF00 7800")},
        {"65534", Format::Cdf, text(65534), hex("FFFEFFFFFFFF FEFF0000 7800")},
        {"empty", Format::Csv, [](Calc &) {}, utf16(u"current\t\n"_s)},
        {"example", Format::Csv, workedExample,
         utf16(u"current\ta*2\nhistory\ta*2\nhistory\ta=3\nmemory\ta\t3\ta=3\n"_s)},
    };
    for (const auto &[name, format, fill, bytes] : rows) {
        Calc calc;
        fill(calc);
        const QByteArray written = write(calc, format);
        EXPECT_EQ(written.left(bytes.size()).toHex(' '), bytes.toHex(' '))
            << name << (format == Format::Csv ? " csv" : " cdf");
        if (std::string_view(name) == "empty" || std::string_view(name) == "example") {
            EXPECT_EQ(written.size(), bytes.size()) << name;
        }
    }
}

// The process locale follows the desktop, and a German one writes 0,25 through printf:
// the text file must not notice.
TEST(DataFileBytes, TextValuesUseAFullStopUnderAGermanLocale)
{
    const std::string before = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "the locale de_DE.UTF-8 is not installed (./korvel.sh test installs it)";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    const std::pair<double, const char *> table[] = {{3, "3"},
                                                     {100, "100"},
                                                     {0.1, "0.1"},
                                                     {-2.5, "-2.5"},
                                                     {1.0 / 3, "0.333333333333333"},
                                                     {0.1 + 0.2, "0.3"},
                                                     {1e-5, "1e-05"},
                                                     {std::ldexp(1.0, 60), "1.15292150460685e+18"},
                                                     {0.25, "0.25"}};
    Calc calc;
    for (const auto &[value, text] : table) {
        calc.engine.LoadMemory(u"m"_s, value, {});
        EXPECT_TRUE(write(calc, Format::Csv)
                        .contains(utf16(u"\tm\t"_s + QLatin1StringView(text) + u"\t\n"_s, false)))
            << text;
    }
    Calc reader;
    read(reader, Format::Csv, utf16(u"memory\tq\t0.25\t\n"_s));
    EXPECT_EQ(*reader.engine.memory(u"q"_s), 0.25);
    std::setlocale(LC_ALL, before.c_str());
}

TEST(DataFileBytes, RoundTripsKeepValuesBitForBitInCdfAndTo15DigitsInCsv)
{
    const double values[] = {0.1,
                             -0.0,
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             std::bit_cast<double>(0x7ff8000000000123ULL),
                             1.0 / 3,
                             0.1 + 0.2,
                             5e-324,
                             1e300};
    Calc saved;
    for (int i = 0; i < int(std::size(values)); ++i)
        saved.engine.LoadMemory(u"m%1"_s.arg(i), values[i], i ? QString() : u"m0 = 0.1"_s);
    saved.calculator.history()->insertTop(u"caf\u00e9 \U0001F600"_s);
    saved.calculator.setExpressionText(u"max(1;2)\ttab"_s);
    for (const Format format : {Format::Cdf, Format::Csv}) {
        Calc opened;
        EXPECT_EQ(read(opened, format, write(saved, format)), ReadOutcome::Complete);
        for (int i = 0; i < int(std::size(values)); ++i) {
            const double back = *opened.engine.memory(u"m%1"_s.arg(i));
            if (format == Format::Cdf) {
                EXPECT_EQ(std::bit_cast<quint64>(back), std::bit_cast<quint64>(values[i])) << i;
            } else {
                EXPECT_EQ(formatDecimal(back), formatDecimal(values[i])) << i;
            }
        }
        // A TAB ends a text field of the text file.
        EXPECT_EQ(opened.calculator.expressionText(),
                  format == Format::Cdf ? u"max(1;2)\ttab"_s : u"max(1;2)"_s);
        EXPECT_EQ(opened.state().mid(1, 1), QStringList{u"history caf\u00e9 \U0001F600"_s});
    }
}

// What a damaged or foreign .cdf leaves in the calculator: everything read before the
// damage, and nothing that the bytes cannot hold.
TEST(CalculatorDataFile, ReadsWhatIsThereAndStopsAtTheEnd)
{
    const QString eof = u"EndOfFile"_s, complete = u"Complete"_s;
    const std::tuple<const char *, QByteArray, QString, QStringList> rows[] = {
        {"narrow strings in Windows-1252",
         hex("02 80E9 01000000 01 78 01000000 01 62 000000000000F03F 00"),
         complete,
         {"edit \u20ac\u00e9", "history x", "b=3ff0000000000000", "rows 0"}},
        {"long forms of short lengths",
         hex("FFFEFFFF0300 610062006300 02000000 FFFEFFFFFFFF01000000 7800"
             "FFFEFFFFFFFFFFFFFFFF0100000000000000 7900"),
         eof,
         {"edit abc", "history x", "history y", "rows 0"}},
        {"negative counts",
         hex("FFFEFF01 6100 FFFFFFFF FBFFFFFF 0102"),
         complete,
         {"edit a", "rows 0"}},
        {"history count past the data",
         hex("00 40420F00 01 68 01 69"),
         eof,
         {"edit ", "history h", "history i", "rows 0"}},
        {"huge lengths allocate nothing",
         hex("FFFEFFFFFFFFFFFFFFFF FFFFFFFFFFFFFF3F 0000"),
         eof,
         {"edit ", "rows 0"}},
        {"cut inside a memory entry",
         hex("00 00000000 03000000 01 61 0000000000001440 00 01 62 00"),
         eof,
         {"edit ", "a=4014000000000000", "rows 0"}},
        {"refused names are skipped",
         hex("00 00000000 03000000 04 31616263 0000000000000000 00"
             "01 62 000000000000F03F 05 62203D2032 00 0000000000000000 00"),
         complete,
         {"edit ", "b=3ff0000000000000 b = 2", "b: b = 2", "rows 0"}},
    };
    for (const auto &[name, bytes, outcome, state] : rows) {
        Calc calc;
        EXPECT_EQ(outcomeName(read(calc, Format::Cdf, bytes)), outcome) << name;
        EXPECT_EQ(calc.state(), state) << name;
    }
    // Of 1000 memory entries the first 999 are read, without a message.
    Calc full, calc;
    for (int i = 0; i < Engine::PoolSize; ++i)
        full.engine.evaluate(u"m%1 = %1"_s.arg(i, 3, 10, QLatin1Char('0')));
    full.engine.LoadMemory(u"z"_s, 1, {});
    EXPECT_EQ(read(calc, Format::Cdf, write(full, Format::Cdf)), ReadOutcome::Complete);
    EXPECT_EQ(std::pair(calc.engine.loadedSlots(), calc.engine.memory(u"z"_s)),
              std::pair(999, static_cast<const double *>(nullptr)));
    EXPECT_TRUE(calc.messages.shown.isEmpty());
}

TEST(TextDataFile, ReadsKnownLinesPieceByPiece)
{
    const QString x4991(4991, u'x');
    const std::tuple<const char *, QByteArray, QStringList> rows[] = {
        {"fields and values",
         utf16(u"current\tfirst\ncurrent\tlast\textra\nhistory\n"
               u"memory\ta\t  1.5e3xyz\ta = 1\tmore\nmemory\tb\tabc\nmemory\tc\t-inf\n"
               u"memory\td\t0x10\nmemory\t1bad\t2\nmemory\te\t1e400"_s),
         {"edit last", "history ", "a=4097700000000000 a = 1", "b=0", "c=fff0000000000000",
          "d=4030000000000000", "e=7ff0000000000000", "a: a = 1", "rows 0"}},
        {"unknown lines",
         utf16(u"Memory\tx\t1\nHISTORY\tx\n current\tx\n\nother\n"_s),
         {"edit kept", "rows 0"}},
        {"a current line without a TAB", utf16(u"current\n"_s), {"edit ", "rows 0"}},
        {"a long line in pieces",
         utf16(u"history\t"_s + x4991 + u"history\tsecond\n"_s),
         {"edit kept", "history " + x4991, "history second", "rows 0"}},
        {"UTF-8 with a mark",
         QByteArray("\xef\xbb\xbfhistory\tcaf\xc3\xa9\r\n"),
         {"edit kept", "history caf\u00e9", "rows 0"}},
        {"UTF-16 without a mark",
         utf16(u"history\tx\n"_s, false),
         {"edit kept", "history x", "rows 0"}},
        {"an odd byte at the end",
         utf16(u"history\tx"_s) + 'y',
         {"edit kept", "history x", "rows 0"}},
        {"a .cdf read as text",
         hex("FFFEFF03 61002A003200 00000000 00000000"),
         {"edit kept", "rows 0"}},
    };
    for (const auto &[name, bytes, state] : rows) {
        Calc calc;
        calc.calculator.setExpressionText(u"kept"_s);
        EXPECT_EQ(read(calc, Format::Csv, bytes), ReadOutcome::Complete) << name;
        EXPECT_EQ(calc.state(), state) << name;
    }
    EXPECT_EQ(splitFields(u"a\t\tb\tc\td\te\tf\tg\th\ti\tj\tk\n"),
              QStringList({"a", "", "b", "c", "d", "e", "f", "g", "h", "i"}));
}

// The commands on real files, as the dialog runs them: the format follows the extension,
// opening merges, and neither a failed save nor a damaged file loses anything.
class DataFileCommands : public ::testing::Test {
protected:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QByteArray contents(const QString &name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
    }
    void save(Calc &calc, const QString &name)
    {
        m_files.answers = {name.isEmpty() ? QString() : path(name)};
        saveDataFile(calc.calculator, m_files);
    }
    void open(Calc &calc, const QString &name)
    {
        m_files.answers = {name.isEmpty() ? QString() : path(name)};
        openDataFile(calc.calculator, m_files);
    }

    QTemporaryDir m_dir;
    ScriptedFileChooser m_files;
};

TEST_F(DataFileCommands, ExtensionChoosesTheFormat)
{
    Calc calc;
    for (const QString name : {"a.CSV", "b.CsV", "c.csv", "d.txt", "e.", "f", "g.csv.cdf"}) {
        save(calc, name);
        EXPECT_EQ(contents(name).left(4), name.endsWith(u"sv"_s, Qt::CaseInsensitive)
                                              ? QByteArray("\xff\xfe\x63\0", 4)
                                              : QByteArray("\xff\xfe\xff\0", 4))
            << name.toStdString();
    }
    EXPECT_EQ(m_files.asked, QList<FileChooser::Purpose>(7, FileChooser::Purpose::Save));
    EXPECT_TRUE(calc.messages.shown.isEmpty());
}

TEST_F(DataFileCommands, OpeningMergesIntoTheRunningState)
{
    for (const QString name : {"state.cdf", "state.csv"}) {
        Calc calc;
        workedExample(calc);
        calc.calculator.calculate(u"b = 2"_s);
        save(calc, name);
        calc.calculator.calculate(u"@a = 5"_s);
        open(calc, name);
        open(calc, name);
        // The history appended twice; a bound to a new slot each time, its records appended
        // and the first, made by the calculation, still the one that sets it.
        EXPECT_EQ(
            calc.state(),
            QStringList({"edit b = 2", "history @a = 5", "history b = 2", "history a*2",
                         "history a=3", "history b = 2", "history a*2", "history a=3",
                         "history b = 2", "history a*2", "history a=3", "a=4014000000000000 a = 5",
                         "b=4000000000000000", "a: a = 5", "a: a=3", "a: a=3", "rows 2"}))
            << name.toStdString();
        EXPECT_EQ(calc.engine.loadedSlots(), 4);
    }
}

TEST_F(DataFileCommands, NothingIsLostWhenSavingOrReadingFails)
{
    Calc calc;
    workedExample(calc);
    calc.calculator.calculate(u"b = 2"_s);
    save(calc, u"old.cdf"_s);
    const QByteArray old = contents(u"old.cdf"_s);
    // Cancelled, and a folder that is not there: nothing written, the old file intact.
    save(calc, QString());
    m_files.answers = {path(u"missing/new.cdf"_s)};
    saveDataFile(calc.calculator, m_files);
    m_files.answers = {m_dir.path()};
    saveDataFile(calc.calculator, m_files);
    EXPECT_EQ(calc.messages.shown, QList<Message>(2, Message::CannotCreate));
    EXPECT_EQ(contents(u"old.cdf"_s), old);

    // A file cut inside the memory entry keeps what came before and skips the closing
    // steps; a full load pool is reported once and the closing steps still run.
    QFile cut(path(u"cut.cdf"_s));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly) && cut.write(old.left(old.size() - 3)));
    cut.close();
    Calc reader;
    open(reader, u"cut.cdf"_s);
    open(reader, u"absent.cdf"_s);
    open(reader, QString());
    EXPECT_EQ(reader.state(),
              QStringList({"edit b = 2", "history b = 2", "history a*2", "history a=3",
                           "a=4008000000000000 a=3", "a: a=3", "rows 0", "UnexpectedEndOfFile"}));
    for (int i = reader.engine.loadedSlots(); i < Engine::PoolSize; ++i)
        reader.engine.LoadMemory(u"m"_s, i, {});
    reader.messages.shown.clear();
    open(reader, u"old.cdf"_s);
    EXPECT_EQ(reader.messages.shown, QList{Message::MemoryPoolFull});
    EXPECT_EQ(reader.state().value(reader.state().size() - 2), u"rows 2"_s);
}
