// Reaches around the layers four ways (two through "..", two widgets).
#include "../soundfiles/WavFile.h"
#  include "model/../soundfiles/WavFile.h"
#include <QtWidgets/QWidget>
#include <QLabel>
#include "files/SafeOutput.h"
#include <QImage>
