#include "app/VelkorEditorApplication.h"

START_JUCE_APPLICATION(VelkorEditorApplication)
