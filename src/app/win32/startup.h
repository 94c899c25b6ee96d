// What the program sets on its application before the main window is made: the skinned items'
// cursors in the screen's cursor table (which the application makes), their bitmap hints as
// the application's hint window, and the title.
#pragma once

namespace ui {
class TApplication;
}

namespace app {

void PrepareApplication(ui::TApplication& application);

}  // namespace app
