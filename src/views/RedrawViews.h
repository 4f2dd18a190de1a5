#pragma once

// The resting picture is drawn by the widget-free face layer.
#include "face/RedrawViews.h"
