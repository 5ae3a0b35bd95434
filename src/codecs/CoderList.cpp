#include "codecs/CoderList.h"

CCoder* CCoderList::AddPassThroughCoder(const std::string& name) {
    std::unique_ptr<CCoder> coder = CCoder::MakePassThrough(name);
    CCoder* added = coder.get();
    AddTail(std::move(coder));
    return added;
}
