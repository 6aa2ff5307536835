// Character and paragraph formats of several objects taken together.
// Intersect clears from the first format's mask what the second has
// different (the value is then undetermined); Merge copies into the first
// what the second's mask selects and joins the masks.
#pragma once

#include "platform/Types.h"

void IntersectCharFormat(CHARFORMAT& target, const CHARFORMAT& other);
void MergeCharFormat(CHARFORMAT& target, const CHARFORMAT& other);
void IntersectParaFormat(PARAFORMAT& target, const PARAFORMAT& other);
void MergeParaFormat(PARAFORMAT& target, const PARAFORMAT& other);
