// The program's start-up around its application, in the order the program runs it:
//   StartUnits: the graphics units, the settings and rich-text subsystem, the toolbar framework,
//   the track image bridge, the version strings and the shell's clipboard formats, before the
//   application exists.
//   PrepareApplication: what the program sets on its application before the main window is made:
//   the skinned items' cursors in the screen's cursor table (which the application makes), the
//   bitmap hint window (the skinned viewers' hints are pictures) and the title.
//   FinishUnits: the units' shut-down in reverse, after the application has gone.
#pragma once

namespace ui {
class TApplication;
}

namespace app {

void StartUnits();
void PrepareApplication(ui::TApplication& application);
void FinishUnits();

}  // namespace app
