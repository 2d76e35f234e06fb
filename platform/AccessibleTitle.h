#pragma once
// A window announces itself to screen readers by its accessible name. Tying
// that name to the title keeps the game and file a workspace shows in its
// title from being hidden behind a fixed name.
class QWidget;

namespace zorp::ui {

// Sets window's accessible name to its title now and whenever the title changes.
void FollowTitleWithAccessibleName(QWidget* window);

} // namespace zorp::ui
