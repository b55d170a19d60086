#pragma once
// The base texts of the numbered messages the tracker fetches itself (button and menu
// captions, status texts, headers, titles), written into native.lng ahead of the forms'
// texts so that the forms' texts are numbered above them.

#include <vector>

#include "lang/win/lang_collector.h"

std::vector<TLangMessageText> BaseMessageTexts();
