// What the calculator asks of the platform it runs on, each as a small interface: the
// message boxes, the clipboard, the keyboard's state, the file chooser and the opening of a
// document. The user interface implements them with Qt, tests with recorders; the core
// says which message it means, and the user interface holds the words.
#pragma once

#include <QString>

/// The fixed messages the calculator can show.
enum class Message {
    CannotEvaluate,      ///< an expression or a derivation cannot be evaluated
    MemoryPoolFull,      ///< a loading run found the load pool full; shown once per run
    UnexpectedEndOfFile, ///< a data file ended inside a field; an error, not a warning
    CannotCreate,        ///< a data file could not be written completely
    FileTooLarge,        ///< a data file is larger than any Korvel writes; it is not read
};

/// Reports a fixed message to the user and returns once it has been acknowledged.
class Messages {
public:
    virtual ~Messages() = default;
    virtual void show(Message message) = 0;
};

/// The system clipboard, as plain text.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    /// Makes `text` the clipboard's only content.
    virtual void setText(const QString &text) = 0;
};

/// The keyboard's state at the moment of asking, not at the last input event.
class Keyboard {
public:
    virtual ~Keyboard() = default;
    virtual bool shiftHeld() const = 0;
};

/// Asks the user for the path of a data file.
class FileChooser {
public:
    enum class Purpose {
        Save, ///< a path to write; replacing an existing file has been confirmed
        Open, ///< an existing file to read
    };
    virtual ~FileChooser() = default;
    /// The chosen path, or the empty text when the user cancelled.
    virtual QString choose(Purpose purpose) = 0;
};

/// Opens a document with the application the desktop associates with its kind.
class DocumentOpener {
public:
    virtual ~DocumentOpener() = default;
    /// Starts the viewer and returns without waiting for it.
    virtual void open(const QString &path) = 0;
};

/// What the main dialog asks of the platform besides the settings store; all of it
/// outlives the dialog.
struct DialogPlatform {
    FileChooser &files;        ///< the paths of Save and Open
    Clipboard &clipboard;      ///< where the copy button puts the result
    const Keyboard &keyboard;  ///< whether Shift is held as the copy button is clicked
    DocumentOpener &documents; ///< shows the manual
    QString programPath;       ///< the running executable; the manuals lie beside it
};
