#pragma once
// The two stacks of the filter-expression parser: texts (grammar symbols
// waiting to be reduced) and nodes of the expression tree built so far.
// Popping an empty stack is no error: the parser counts before it pops.
#include <string>
#include <vector>

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Object.h"

class TNode;

class TStackStr : public TObject {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    void Push(const AnsiString& Text) { FItems.push_back(Text); }
    // The top text, removed; empty when the stack is.
    AnsiString Pop();

private:
    std::vector<AnsiString> FItems;
};

// Holds nodes without owning them: whoever pops a node owns it.
class TStackPtr : public TObject {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    // Gives the index at which the node was put.
    int Push(TNode* Node);
    // The top node, removed; null when the stack is empty.
    TNode* Pop();

private:
    std::vector<TNode*> FItems;
};
