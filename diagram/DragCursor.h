#pragma once

class QCursor;

// The pointer shown while a row is dragged towards another table: the
// arrow with a small table row under it. Drawn once, on first use, and
// shared for the life of the program.
const QCursor &DragCursor();
