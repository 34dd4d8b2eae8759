#pragma once

class QDateEdit;

// Lets a whole date be typed into a "yyyy/MM/dd" box, "2027/03/16",
// "2027/3/16" or "20270316": the digits start in the year when the whole
// text is selected or nothing is selected in a whole date (after a click
// into the box, or a date typed just before), and a "/" right after a part
// that filled itself (the box moves on by itself then) is not taken as a
// second move. A part selected on its own is typed over as usual. A digit
// typed while the box's calendar is dropped down closes it and starts a
// whole date in the box.
void AllowWholeDateTyping(QDateEdit* box);
