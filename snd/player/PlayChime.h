#pragma once
#include <QString>

class QWidget;

// Where the tunes are for the editor program in `binaryFolder`: snd/ beside
// it (the build folder, Windows), else share/wzqxprog/snd of the installed
// tree it is in (libexec/wzqxprog/../../share/wzqxprog/snd, any prefix).
QString TuneFolder(const QString& binaryFolder);

// NN.mp3 in the running binary's tune folder.
QString ChimeFilePath(int tune);

// Plays tune 1..7 while an information box "OKを押すと再生を終了します。"
// is open and stops when it is closed. Any other tune does nothing. A tune
// file that cannot be played still shows the box; without an audio output
// device the user is told that nothing can be heard instead.
void PlayChime(int tune, QWidget* parent = nullptr);
