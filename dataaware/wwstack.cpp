#include "dataaware/wwstack.h"

AnsiString TStackStr::Pop() {
    if (FItems.empty()) return {};
    AnsiString top = std::move(FItems.back());
    FItems.pop_back();
    return top;
}

int TStackPtr::Push(TNode* Node) {
    FItems.push_back(Node);
    return Count() - 1;
}

TNode* TStackPtr::Pop() {
    if (FItems.empty()) return nullptr;
    TNode* top = FItems.back();
    FItems.pop_back();
    return top;
}
