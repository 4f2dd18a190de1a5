// Widgets belong here; the model is included without being linked.
#include <QWidget>
#include "model/CellModel.h"
