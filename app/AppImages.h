#pragma once

class QIcon;
class QPixmap;
class QString;

// The shell's artwork, kept as image files in the resources: the
// application icon (main window, About box), the document icon (child
// frames) and the 16 x 15 toolbar buttons.
namespace AppImages {

QIcon ApplicationIcon();
QIcon DocumentIcon();
// The 32 x 32 application icon as the About box shows it.
QPixmap ApplicationPixmap();
// A toolbar button image by name ("new", "open", ...); a null icon for an
// unknown name.
QIcon ToolbarIcon(const QString &name);

} // namespace AppImages
