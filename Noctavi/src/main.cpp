#include <Noctavi/Application.h>

int main(int argc, char** argv)
{
    return Application::Main(argc, argv);
}
