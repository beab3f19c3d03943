#include "CatalogLine.h"

#include <QtGlobal>
#include <cmath>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

void CatalogLine::skipOne() {
    if (at < text.size())
        ++at;
}

// Reads decimal digits; returns whether there was at least one.
bool CatalogLine::digits(double* value, double* scale, bool fraction) {
    const int start = at;
    for (; at < text.size() && isDigit(text.at(at)); ++at) {
        const int digit = text.at(at) - '0';
        if (fraction) {
            *value += digit * *scale;
            *scale /= 10;
        } else {
            *value = *value * 10 + digit;
        }
    }
    return at > start;
}

bool CatalogLine::real(double* value) {
    const bool negative = at < text.size() && text.at(at) == '-';
    if (negative)
        ++at;
    double number = 0;
    double scale = 0.1;
    bool any = digits(&number, &scale, false);
    skipOne(); // the decimal point
    any |= digits(&number, &scale, true);
    skipOne(); // the separator
    if (!any || !std::isfinite(number))
        return false;
    // The sign belongs to the whole number: "-0.5" is -0.5.
    *value = negative ? -number : number;
    return true;
}

bool CatalogLine::integer(int* value) {
    const bool negative = at < text.size() && text.at(at) == '-';
    if (negative)
        ++at;
    double number = 0;
    double scale = 1;
    const bool any = digits(&number, &scale, false);
    skipOne();
    if (!any || std::fabs(number) > 2147483647.0)
        return false;
    *value = int(negative ? -number : number);
    return true;
}

QByteArray CatalogLine::upTo(char stop) {
    const int start = at;
    while (at < text.size() && text.at(at) != stop && text.at(at) != '\r' && text.at(at) != '\n')
        ++at;
    const QByteArray field = text.mid(start, at - start);
    if (at < text.size() && text.at(at) == stop)
        ++at;
    return field;
}

QByteArray CatalogLine::lettersAndSpaces() {
    const int start = at;
    while (at < text.size() && (isLetter(text.at(at)) || text.at(at) == ' '))
        ++at;
    return text.mid(start, at - start);
}

QByteArray CatalogLine::rest() {
    return upTo('\n');
}
