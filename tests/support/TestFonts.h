// Pins the families the system's forms use ("MS Sans Serif", "Arial") to
// the Liberation Sans files, so text pictures do not depend on what else is
// installed on the machine.
#pragma once

namespace kelvo::test {
void PinTestFonts();
}
