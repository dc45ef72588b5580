#pragma once

class Clock;
class Dialogs;
class FileDialogs;
class FontDialogs;
class Help;
class Notifications;
class Printer;
class ShellOpener;
class Sound;

// The platform services every window may use, created once in main() (fakes in tests).
struct Services
{
    const Clock &clock;
    Dialogs &dialogs;
    FileDialogs &fileDialogs;
    FontDialogs &fontDialogs;
    Sound &sound;
    Help &help;
    ShellOpener &opener;
    Notifications &notifications;
    Printer &printer;
};
