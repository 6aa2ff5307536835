// The program's messages, prompts and fixed texts, looked up by number.
#pragma once

#include "platform/Types.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// The text of a string id; empty when the table has none.
std::string LoadString(UINT id);
// Whether the table holds the id.
bool HasString(UINT id);
// The text of id with %1 to %9 replaced by the arguments in order.
std::string FormatString(UINT id, std::initializer_list<std::string_view> args = {});
// Replaces %1 to %9 in a pattern; an argument that is missing leaves its marker.
std::string FormatMessageText(std::string_view pattern, std::initializer_list<std::string_view> args);

// Whether the ids stand in strictly ascending order (a check for the tests).
bool StringTableIsSorted();
// Every id the table holds, in its order (a check for the tests).
std::vector<UINT> StringTableIds();

// The application's name as messages show it.
const std::string& GetAppName();
void SetAppName(std::string name);
