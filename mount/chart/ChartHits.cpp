#include "ChartHits.h"

#include <algorithm>

namespace {

constexpr int reachSquared = 400;

QString textOf(const ChartHits::Hit& hit) {
    switch (hit.kind) {
    case ChartSky::Kind::Messier:
        return QString("M%1").arg(hit.number);
    case ChartSky::Kind::Ic:
        return QString("IC%1").arg(hit.number);
    case ChartSky::Kind::Ngc:
        return QString("NGC%1").arg(hit.number);
    case ChartSky::Kind::Star:
        break;
    }
    return QStringLiteral("星");
}

} // namespace

void ChartHits::add(const Hit& hit) {
    if (int(hits.size()) < capacity)
        hits.push_back(hit);
}

std::vector<ChartHits::Choice> ChartHits::choicesAt(int x, int y) const {
    const auto distance = [x, y](const Hit& hit) {
        const long long dx = hit.x - x, dy = hit.y - y;
        return dx * dx + dy * dy;
    };
    std::vector<const Hit*> near;
    const Hit* nearestStar = nullptr;
    for (const Hit& hit : hits) {
        if (distance(hit) > reachSquared)
            continue;
        if (hit.kind != ChartSky::Kind::Star)
            near.push_back(&hit);
        else if (!nearestStar || distance(hit) < distance(*nearestStar))
            nearestStar = &hit;
    }
    if (nearestStar)
        near.push_back(nearestStar);
    std::stable_sort(near.begin(), near.end(),
                     [&](const Hit* a, const Hit* b) { return distance(*a) < distance(*b); });
    if (near.size() > std::size_t(maxChoices))
        near.resize(std::size_t(maxChoices));
    std::vector<Choice> choices;
    for (const Hit* hit : near)
        choices.push_back({textOf(*hit), hit->ra, hit->dec});
    return choices;
}
