/* The start-up cost that any C program pays: nothing but the C run-time. */
int main(){return 0;}
