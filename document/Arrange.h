#pragma once

// Arrange Diagram: places tables so that related tables stand near each
// other and no two overlap.
