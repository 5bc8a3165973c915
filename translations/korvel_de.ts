<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>Korvel</source>
        <translation>Der Korvel</translation>
    </message>
    <message>
        <source>© 2006–2026 Tamsard.
Free to pass on;
no warranty.
Based on muParser.</source>
        <extracomment>Four short lines: the author with the years, a note on passing the program on, and the thanks to muParser.</extracomment>
        <translation>© 2006–2026 Tamsard.
Frei weiterzugeben;
ohne Gewähr.
Verwendet muParser.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Over Korvel</source>
        <extracomment>The title reads the same in every language.</extracomment>
        <translation>Over Korvel</translation>
    </message>
    <message>
        <source>Version %1</source>
        <extracomment>Followed by the version number.</extracomment>
        <translation>Version %1</translation>
    </message>
</context>
<context>
    <name>CCorvalinDlg</name>
    <message>
        <source>&amp;Expresssion</source>
        <extracomment>Spelled with three s on purpose: keep that spelling in the source.</extracomment>
        <translation>&amp;Ausdruck</translation>
    </message>
    <message>
        <source>&amp;Result</source>
        <translation>&amp;Resultat</translation>
    </message>
    <message>
        <source>&amp;Calculate</source>
        <translation>&amp;Rechnen</translation>
    </message>
    <message>
        <source>&amp;Clear history</source>
        <translation>&amp;Verlauf löschen</translation>
    </message>
    <message>
        <source>263, 48, 50, 14</source>
        <extracomment>Place of the Clear history button: x, y, width, height in dialog units. Move it left and widen it when the button&apos;s text needs more room.</extracomment>
        <translation>253, 48, 60, 14</translation>
    </message>
    <message>
        <source>&amp;Memories</source>
        <translation>&amp;Speicher</translation>
    </message>
    <message>
        <source>&amp;Show results of last calculation only (requires recalculation)</source>
        <extracomment>The German text reads &quot;letzen Ausdruks&quot; on purpose: keep that spelling.</extracomment>
        <translation>&amp;Nur Speicher des letzen Ausdruks zeigen (erneut berechnen notwendig)</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>Out</source>
        <translation>Out</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Korvel</source>
        <translation>Der Korvel</translation>
    </message>
    <message>
        <source>Enter the expression to be calculated</source>
        <translation>Eingabe der Berechnung/Ausdruk</translation>
    </message>
    <message>
        <source>Copy the result to the clipboard. Shift: expression plus result</source>
        <translation>Resultat in Zwischenablage kopieren. Mit Shift: Ausdruk plus Resultat</translation>
    </message>
    <message>
        <source>Copy the formula to the expression control</source>
        <translation>Ableitungsregel in Eingabefeld Ausdruck kopieren</translation>
    </message>
    <message>
        <source>Delete the selected memory</source>
        <translation>Speicherplatz entfernen</translation>
    </message>
    <message>
        <source>Calculate, evaluate the expression</source>
        <translation>Ausdruck auswerten/berechnen</translation>
    </message>
    <message>
        <source>Clear expression history</source>
        <translation>Verlauf von Ausdrücke leeren</translation>
    </message>
    <message>
        <source>Close the calculator</source>
        <translation>Taschenrechner schließen</translation>
    </message>
    <message>
        <source>All existing memory values. Double click to copy to expression edit control</source>
        <translation>Alle verwendete Speicherplätze. Doppelklick zum kopieren</translation>
    </message>
    <message>
        <source>Read history en memories from a file</source>
        <extracomment>&quot;en&quot; where &quot;and&quot; is meant: keep the text as it is.</extracomment>
        <translation>Verlauf, Speicherplátze und Ableitungsregel einlezen aus Datei</translation>
    </message>
    <message>
        <source>Save all history en memories in a file</source>
        <extracomment>&quot;en&quot; where &quot;and&quot; is meant: keep the text as it is.</extracomment>
        <translation>Verlauf, Speicherplátze und Ableitungsregel speichern in Datei</translation>
    </message>
    <message>
        <source>Show manual</source>
        <translation>Anleitung zeigen</translation>
    </message>
    <message>
        <source>Exit programm</source>
        <extracomment>Spelled &quot;programm&quot; on purpose: keep the text as it is.</extracomment>
        <translation>Taschenrechner schließen</translation>
    </message>
    <message>
        <source>&amp;About Korvel...</source>
        <extracomment>The About item of the dialog&apos;s menu.</extracomment>
        <translation>&amp;Über die Korvel</translation>
    </message>
</context>
<context>
    <name>Manual</name>
    <message>
        <source>calc_manual_en</source>
        <extracomment>The file name, without &quot;.pdf&quot;, of the manual in this language.</extracomment>
        <translation>calc_manual_de</translation>
    </message>
</context>
<context>
    <name>MemoryListModel</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
    <message>
        <source>Automatic calculation</source>
        <translation>Automatische Ableitung</translation>
    </message>
</context>
</TS>
