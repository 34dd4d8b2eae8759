#pragma once

// True when year-month-day is a real calendar date (2014-02-29 is not,
// 2016-02-29 is). Two-digit years stand for 2000..2099.
bool IsRealDate(int year, int month, int day);
