#include "AsideWork.h"

AsideWork::AsideWork(std::function<void()> work)
    : worker([this, work = std::move(work)] {
        work();
        finished = true;
    }) {}

AsideWork::~AsideWork() {
    worker.join();
}
