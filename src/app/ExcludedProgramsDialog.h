#pragma once
// The excluded-programs dialog; for now an empty window of its class.
#include "Window.h"

namespace vesko {

class ExcludedProgramsDialog : public Window {
public:
    bool Create(HINSTANCE instance);
};

}  // namespace vesko
