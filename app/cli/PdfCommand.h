#pragma once

// `wzqxprog pdf FILE OUT.pdf --circuit N --listing week|special|year
// [--year YY|every]`: reads FILE as 読込 does into a private store and
// writes that listing as a PDF, with the editor's own table builders and
// report drawing. Needs no display: it picks Qt's offscreen platform before
// it creates its application object. Prepares the standard streams itself
// (Platform::prepareStandardStreams). Returns the process exit status.
int runPdfCommand(int argc, char** argv);
