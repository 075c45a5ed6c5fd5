#pragma once

class QPixmap;

// The picture of the pointer shown while a row is dragged towards another
// table: the arrow with a small table row under it, its tip at the top-left
// corner. The cursor made of it is one of the shared resources.
QPixmap DrawDragCursor();
