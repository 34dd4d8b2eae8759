#pragma once
#include <QString>

class QWidget;

// snd/NN.mp3 beside the program (build tree and installed tree alike).
QString ChimeFilePath(int tune);

// Plays tune 1..7 while an information box "OKを押すと再生を終了します。"
// is open and stops when it is closed. Any other tune does nothing. A tune
// that cannot be played still shows the box.
void PlayChime(int tune, QWidget* parent = nullptr);
