// The switch of the plain-text writer that the program leaves off.
#pragma once

// A page break before an item writes a form feed instead of a line end.
extern bool RVTextPageBreaksAsFormFeed;
