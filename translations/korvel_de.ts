<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>CCorvalinDlg</name>
    <message>
        <location filename="../src/ui/ccorvalindlg.cpp" line="64"/>
        <source>&amp;Expresssion</source>
        <translation>&amp;Ausdruck</translation>
    </message>
    <message>
        <location filename="../src/ui/ccorvalindlg.cpp" line="66"/>
        <source>&amp;Result</source>
        <translation>&amp;Resultat</translation>
    </message>
    <message>
        <location filename="../src/ui/ccorvalindlg.cpp" line="69"/>
        <source>&amp;Calculate</source>
        <translation>&amp;Rechnen</translation>
    </message>
    <message>
        <location filename="../src/ui/ccorvalindlg.cpp" line="70"/>
        <source>&amp;Clear history</source>
        <translation>&amp;Verlauf löschen</translation>
    </message>
    <message>
        <location filename="../src/ui/ccorvalindlg.cpp" line="73"/>
        <source>263, 48, 50, 14</source>
        <extracomment>Place of the Clear history button: x, y, width, height in dialog units. Move it left and widen it when the button&apos;s text needs more room.</extracomment>
        <translation>253, 48, 60, 14</translation>
    </message>
    <message>
        <location filename="../src/ui/ccorvalindlg.cpp" line="75"/>
        <source>&amp;Memories</source>
        <translation>&amp;Speicher</translation>
    </message>
    <message>
        <location filename="../src/ui/ccorvalindlg.cpp" line="79"/>
        <source>&amp;Show results of last calculation only (requires recalculation)</source>
        <translation>&amp;Nur Speicher des letzen Ausdruks zeigen (erneut berechnen notwendig)</translation>
    </message>
    <message>
        <location filename="../src/ui/ccorvalindlg.cpp" line="80"/>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <location filename="../src/ui/ccorvalindlg.cpp" line="81"/>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <location filename="../src/ui/ccorvalindlg.cpp" line="82"/>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <location filename="../src/ui/ccorvalindlg.cpp" line="84"/>
        <source>Out</source>
        <translation>Out</translation>
    </message>
    <message>
        <location filename="../src/ui/ccorvalindlg.cpp" line="85"/>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <location filename="../src/ui/ccorvalindlg.cpp" line="366"/>
        <source>Korvel</source>
        <translation>Der Korvel</translation>
    </message>
</context>
<context>
    <name>MemoryListModel</name>
    <message>
        <location filename="../src/core/memorylistmodel.cpp" line="45"/>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <location filename="../src/core/memorylistmodel.cpp" line="47"/>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
    <message>
        <location filename="../src/core/memorylistmodel.cpp" line="49"/>
        <source>Automatic calculation</source>
        <translation>Automatische Ableitung</translation>
    </message>
</context>
</TS>
