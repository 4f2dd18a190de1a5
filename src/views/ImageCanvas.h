#pragma once

// The views draw on image canvases, which live in the widget-free face layer.
#include "face/ImageCanvas.h"
