#pragma once
#include <ctime>
#include <string>

namespace qs {

// A UTC calendar time in whole seconds: the time of a sample.
struct SampleTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    friend bool operator==(const SampleTime&, const SampleTime&) = default;
};

SampleTime SampleTimeFromUtc(std::time_t t);

// "%04d-%02d-%02d %02d:%02d:%02d": the time stamp of a data-file line.
std::string FormatStamp(const SampleTime& t);

// "%04d-%02d-%02d %02d:%02d:%02d UTC", as DateBox shows a sample's time.
std::string FormatDateBox(const SampleTime& t);

// "%04d-%02d-%02dT%02d:%02d:%02dZ": the time in ISO 8601 UTC, for what other
// programs read (the sample records sent to a page or a broker).
std::string FormatIsoUtc(const SampleTime& t);

// Days since 30 December 1899 00:00, the time of day as the fraction; the
// date and the time of day are encoded separately and added. Raises
// EConvertError for a date or time that does not exist (30 February, hour 24).
double EncodeDateTime(int year, int month, int day, int hour, int minute, int second);
inline double EncodeDateTime(const SampleTime& t) {
    return EncodeDateTime(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

// EncodeDateTime, the same number for the same fields, for times that mostly
// share their day with the one before, as the lines of a data file do: the
// date is encoded once a day.
class DateTimeEncoder {
public:
    double operator()(int year, int month, int day, int hour, int minute, int second);

private:
    int year_ = 0, month_ = 0, day_ = 0;  // year 0 is no date: nothing is remembered yet
    double date_ = 0.0;
};

// Whether the date exists in the proleptic Gregorian calendar (years 1 to 9999).
bool IsValidDate(int year, int month, int day);

}  // namespace qs
